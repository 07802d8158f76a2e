#pragma once
// The settings store port: three levels (root, section, key) of text values.
// Section and key names are compared without regard to ASCII letter case.

#include <optional>
#include <string>
#include <string_view>

namespace cirrodex {

// The outcome of a write or erase: empty on success, else a sentence a user
// can act on ("Settings not saved: no space left on device (...)").
struct StoreError {
  std::string text;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or nothing when the section or key does not exist.
  virtual std::optional<std::string> read(std::string_view section, std::string_view key) = 0;
  virtual std::optional<StoreError> write(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Deleting a section that does not exist does nothing.
  virtual std::optional<StoreError> erase_section(std::string_view section) = 0;
  // A notice the user should see once (for example that a damaged file was
  // moved aside); empty when there is none. Taking it clears it.
  virtual std::string take_notice() = 0;
};

}  // namespace cirrodex
