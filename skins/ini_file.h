#pragma once
// A read-only INI text as skins use it: "[section]" headers and key=value
// lines, section and key names compared without regard to ASCII case, blanks
// around keys and values dropped, the first of two equal keys winning.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace cirrodex {

class IniFile {
 public:
  static IniFile parse(std::string_view text);

  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string read_string(std::string_view section, std::string_view key, std::string_view fallback) const;

 private:
  std::map<std::string, std::map<std::string, std::string>> sections_;  // folded names
};

}  // namespace cirrodex
