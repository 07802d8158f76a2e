#include "skins/ini_file.h"

#include "platform/text.h"

namespace cirrodex {

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  std::map<std::string, std::string>* current = nullptr;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = text::trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string name = text::trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = &ini.sections_[text::lower(name)];
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || current == nullptr) continue;
    const std::string key = text::lower(text::trim(line.substr(0, eq)));
    current->emplace(key, text::trim(line.substr(eq + 1)));  // emplace keeps the first
  }
  return ini;
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
  const auto s = sections_.find(text::lower(section));
  if (s == sections_.end()) return std::nullopt;
  const auto k = s->second.find(text::lower(key));
  if (k == s->second.end()) return std::nullopt;
  return k->second;
}

std::string IniFile::read_string(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto v = find(section, key);
  return v ? *v : std::string(fallback);
}

}  // namespace cirrodex
