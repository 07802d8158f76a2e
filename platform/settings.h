#pragma once
// The program's settings: read_setting, write_setting, erase_setting_section
// over the settings store port. Missing values read as "n/a"; the empty text
// is a real value. Nothing is cached here: every read asks the store.

#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/settings_store.h"

namespace cirrodex {

inline constexpr std::string_view kMissing = "n/a";
inline constexpr std::string_view kSectionSettings = "Settings";
inline constexpr std::string_view kSectionLocations = "Locations";
inline constexpr std::string_view kSectionInterface = "Interface";

// Strict makes a key outside the key table throw (the tests use it); Lenient
// only prints a line on standard error.
enum class KeyCheck { Lenient, Strict };

class Settings {
 public:
  Settings(SettingsStore& store, Host& host, KeyCheck check = KeyCheck::Lenient)
      : store_(store), host_(host), check_(check) {}

  std::string read_setting(std::string_view section, std::string_view key);
  void write_setting(std::string_view section, std::string_view key, std::string_view value);
  void erase_setting_section(std::string_view section);

  // A flag is on only when its value is exactly "y".
  bool flag(std::string_view key) { return read_setting(kSectionSettings, key) == "y"; }
  std::string get(std::string_view key) { return read_setting(kSectionSettings, key); }
  void set(std::string_view key, std::string_view value) { write_setting(kSectionSettings, key, value); }

 private:
  void check_key(std::string_view section, std::string_view key);
  void report(const std::string& text);
  SettingsStore& store_;
  Host& host_;
  KeyCheck check_;
};

// "Clear ALL Settings": asks first, then erases every section.
void clear_all_settings(Settings& settings, Host& host);

}  // namespace cirrodex
