#include "locations/presets.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

#include "locations/location_string.h"
#include "locations/state_codes.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

constexpr std::size_t kMaxTitle = 60;

const std::string kFullListMessage =
    "Sorry, you can only have up to 20 preset locations. \r"
    "Please use the Clear option under Get_Stats to clear the locations and start over.";

}  // namespace

std::string preset_key(int slot) { return "loc" + std::to_string(slot); }

std::vector<std::string> PresetList::read_presets() {
  std::vector<std::string> presets;
  for (int slot = 0; slot < kPresetSlots; ++slot) {
    std::string value = settings_.read_setting(kSectionLocations, preset_key(slot));
    if (value == kMissing) break;
    presets.push_back(std::move(value));
  }
  return presets;
}

void PresetList::load_presets() {
  const auto presets = read_presets();
  for (std::size_t i = 0; i < presets.size(); ++i) menu_.set_preset_entry(static_cast<int>(i), presets[i], true);
}

void PresetList::rewrite_presets(const std::string& requested) {
  std::vector<std::string> presets = read_presets();
  if (removal_mode_) {
    std::erase(presets, requested);
    removal_mode_ = false;
  }
  // Stable, so entries that differ only in case keep their order.
  std::stable_sort(presets.begin(), presets.end(),
                   [](const std::string& a, const std::string& b) { return text::icompare(a, b) < 0; });
  clear_presets();
  for (std::size_t i = 0; i < presets.size(); ++i) {
    const int slot = static_cast<int>(i);
    settings_.write_setting(kSectionLocations, preset_key(slot), presets[i]);
    menu_.set_preset_entry(slot, presets[i], true);
  }
  host_.pause(500);
}

void PresetList::clear_presets() {
  settings_.erase_setting_section(kSectionLocations);
  host_.beep();
  for (int slot = 0; slot < kPresetSlots; ++slot) menu_.set_preset_entry(slot, "", false);
  host_.repaint();
}

void PresetList::begin_removal() {
  const MessageAnswer answer =
      host_.message_box("Are you sure you want to select and delete a location from the Locations menu?",
                        MessageKind::Confirmation, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return;
  removal_mode_ = true;
  host_.message_box("Please select (click) the location you would like to remove (from the Locations menu).",
                    MessageKind::Information, MessageButtons::Ok);
}

void PresetList::add_preset_location(const std::string& location_name, bool automatic_fetch, LocationContext& ctx,
                                     std::string& preset_title) {
  if (automatic_fetch) return;

  // All twenty slots are read: a known title may sit anywhere, even past a gap.
  std::array<std::string, kPresetSlots> slots;
  std::optional<int> free_slot;
  for (int slot = 0; slot < kPresetSlots; ++slot) {
    slots[static_cast<std::size_t>(slot)] = settings_.read_setting(kSectionLocations, preset_key(slot));
    if (!free_slot && slots[static_cast<std::size_t>(slot)] == kMissing) free_slot = slot;
  }

  std::string title;
  if (ctx.zip.size() >= 2) {
    const TitleParts parts = state_code_from_title(location_name);
    title = ctx.zip + " - " + parts.city + ", " + parts.code;
    ctx.state_or_country = parts.code;
  } else if (!has_paren_after_first(ctx.state_or_country)) {
    title = ctx.city + ", " + ctx.state_or_country;
  } else {
    title = location_name + " (O)";
  }

  if (title == kMissing || title.size() < 5) {
    host_.message_box("Error - invalid location (titlex):" + title, MessageKind::Warning, MessageButtons::Ok);
    return;
  }

  // A known location (every click on a preset) is not news, even with a
  // full list, so it is checked before the room is.
  if (std::find(slots.begin(), slots.end(), title) != slots.end()) {
    preset_title = title;
    return;
  }
  if (!free_slot) {
    host_.message_box(kFullListMessage, MessageKind::Warning, MessageButtons::Ok);
    preset_title = title;
    return;
  }
  if (title.size() <= kMaxTitle) {
    host_.message_box("Location added to Locations menu: " + title, MessageKind::Information, MessageButtons::Ok);
    settings_.write_setting(kSectionLocations, preset_key(*free_slot), title);
    menu_.set_preset_entry(*free_slot, title, true);
    host_.repaint();
  }
  preset_title = title;
}

}  // namespace cirrodex
