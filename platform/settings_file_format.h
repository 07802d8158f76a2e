#pragma once
// The text form of settings.ini, kept apart from any file access so that it
// can be tested and fuzzed on its own.
//
// The file is UTF-8 and INI-like: comment lines (";" or "#"), "[Section]"
// lines and "key=value" lines; blanks around names and values do not count.
// Values are Latin-1 byte strings and any of them survives a write and a read
// byte for byte: "\\" is a backslash, "\n", "\r", "\t" and "\xHH" stand for
// control bytes and for blanks at either end, and other characters above 127
// are written as UTF-8. Names use the same escapes, plus "=" in keys, "]" in
// section names and a leading ";", "#" or "[" in keys.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cirrodex {

struct SettingsEntry {
  std::string key;
  std::string value;
  bool operator==(const SettingsEntry&) const = default;
};

// The keys of one section in file order; a key keeps the spelling it was first
// written with, and lookups ignore ASCII letter case.
class SettingsSection {
 public:
  explicit SettingsSection(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  const std::vector<SettingsEntry>& entries() const { return entries_; }
  const std::string* find(std::string_view key) const;
  void set(std::string_view key, std::string_view value);
  bool operator==(const SettingsSection&) const = default;

 private:
  std::string name_;
  std::vector<SettingsEntry> entries_;
};

// All sections in file order, with case-blind section names.
class SettingsDocument {
 public:
  const std::vector<SettingsSection>& sections() const { return sections_; }
  const SettingsSection* find_section(std::string_view name) const;
  // The named section, added at the end when there is none yet.
  SettingsSection& section(std::string_view name);
  const std::string* find(std::string_view section, std::string_view key) const;
  void set(std::string_view section, std::string_view key, std::string_view value) {
    this->section(section).set(key, value);
  }
  // False when there was no such section.
  bool erase_section(std::string_view name);
  bool operator==(const SettingsDocument&) const = default;

 private:
  std::vector<SettingsSection> sections_;
};

struct SettingsParseError {
  std::size_t line = 0;  // 1-based
  std::string reason;
  // "line 12: bad escape \q"
  std::string describe() const;
};

struct SettingsParseResult {
  SettingsDocument document;  // empty when there is an error
  std::optional<SettingsParseError> error;
};

// Any line that is not blank, a comment, a section or key=value (or a key
// before the first section, a NUL byte, a bad escape) makes the whole text
// an error: a half-understood settings file must not be written back.
// A repeated section or key is merged into the first; the last value wins.
SettingsParseResult parse_settings(std::string_view text);

// The whole file, starting with a short comment header.
std::string serialize_settings(const SettingsDocument& document);

}  // namespace cirrodex
