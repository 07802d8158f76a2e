#include "platform/settings.h"

#include <cstdio>
#include <stdexcept>

#include "platform/settings_keys.h"

namespace cirrodex {

void Settings::check_key(std::string_view section, std::string_view key) {
  if (is_known_setting(section, key)) return;
  const std::string where = std::string(section) + "\\" + std::string(key);
  if (check_ == KeyCheck::Strict) throw std::logic_error("settings key not in the key table: " + where);
  std::fprintf(stderr, "cirrodex: settings key not in the key table: %s\n", where.c_str());
}

void Settings::report(const std::string& text) {
  if (!text.empty()) host_.show_status(text);
}

std::string Settings::read_setting(std::string_view section, std::string_view key) {
  check_key(section, key);
  std::optional<std::string> value = store_.read(section, key);
  report(store_.take_notice());
  return value ? *value : std::string(kMissing);
}

void Settings::write_setting(std::string_view section, std::string_view key, std::string_view value) {
  check_key(section, key);
  const auto error = store_.write(section, key, value);
  report(store_.take_notice());
  if (error) report(error->text);
}

void Settings::erase_setting_section(std::string_view section) {
  const auto error = store_.erase_section(section);
  report(store_.take_notice());
  if (error) report(error->text);
}

void clear_all_settings(Settings& settings, Host& host) {
  const MessageAnswer answer = host.message_box(
      "Are you sure you want to DELETE ALL of your settings and preferences?\r\nThere is no undoing this!",
      MessageKind::Warning, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return;
  settings.erase_setting_section(kSectionSettings);
  settings.erase_setting_section(kSectionInterface);
  settings.erase_setting_section(kSectionLocations);
  host.beep();
  host.message_box("Please close and restart Cirrodex.", MessageKind::Plain, MessageButtons::Ok);
}

}  // namespace cirrodex
