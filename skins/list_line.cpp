#include "skins/list_line.h"

#include "platform/text.h"

namespace cirrodex {

namespace {
bool blank(char c) { return c >= 1 && static_cast<unsigned char>(c) <= 32; }
bool control(char c) { return static_cast<unsigned char>(c) < 32; }
}  // namespace

std::vector<std::string> split_list_line(std::string_view line) {
  if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);
  std::vector<std::string> items;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n && blank(line[i])) ++i;
  while (i < n) {
    std::string item;
    if (line[i] == '"') {
      ++i;
      while (i < n) {
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            item.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item.push_back(line[i++]);
      }
    } else {
      const std::size_t from = i;
      while (i < n && line[i] != ',' && !control(line[i])) ++i;
      item.assign(line.substr(from, i - from));
    }
    items.push_back(std::move(item));
    while (i < n && blank(line[i])) ++i;
    if (i < n && line[i] == ',') {
      ++i;
      while (i < n && blank(line[i])) ++i;
    }
  }
  return items;
}

std::optional<long long> skin_number(std::string_view item) {
  const auto v = text::to_integer(text::trim(item));
  if (!v) return std::nullopt;
  return static_cast<long long>(*v);
}

}  // namespace cirrodex
