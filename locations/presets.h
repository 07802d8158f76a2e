#pragma once
// The preset list: up to 20 location strings in section "Locations" under
// loc0..loc19, contiguous from loc0, shown by the preset menu entries.

#include <string>
#include <vector>

#include "locations/location_context.h"
#include "platform/host.h"
#include "platform/preset_menu.h"
#include "platform/settings.h"

namespace cirrodex {

class PresetList {
 public:
  PresetList(Settings& settings, Host& host, PresetMenu& menu) : settings_(settings), host_(host), menu_(menu) {}

  // The stored presets in slot order, up to the first missing slot.
  std::vector<std::string> read_presets();

  // Fills the preset entries from the stored slots (at first show).
  void load_presets();

  // Sorts the list ignoring case and writes it back; in removal mode the
  // entry equal to requested is dropped and removal mode ends.
  void rewrite_presets(const std::string& requested);

  // Erases the section, beeps, hides all 20 entries and repaints.
  void clear_presets();

  // "Remove a Specific Location": asks, and on Yes enters removal mode.
  void begin_removal();
  bool removal_mode() const { return removal_mode_; }

  // Remembers a location fetched by hand (the end of every conditions parse).
  // location_name is the place as the conditions page names it; ctx is the
  // current location context (its state or country item may be set to the
  // state code); preset_title is the running preset title, updated here.
  void add_preset_location(const std::string& location_name, bool automatic_fetch, LocationContext& ctx,
                           std::string& preset_title);

 private:
  Settings& settings_;
  Host& host_;
  PresetMenu& menu_;
  bool removal_mode_ = false;
};

// The settings key of preset slot n: "loc" and n in decimal.
std::string preset_key(int slot);

}  // namespace cirrodex
