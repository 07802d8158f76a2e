#include "platform/services.h"

#include <cctype>
#include <cerrno>
#include <stdexcept>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

struct Line {
  std::string name, value;
  bool blank = false, ok = false;
};

Line parse_line(std::string_view raw) {
  Line line;
  const std::string text = text::trim(std::string(raw));
  if (text.empty() || text.front() == '#') {
    line.blank = true;
    return line;
  }
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) return line;
  line.name = text::trim(text.substr(0, eq));
  line.value = text::trim(text.substr(eq + 1));
  line.ok = !line.name.empty();
  return line;
}

template <typename Fn>
void for_each_line(std::string_view text, Fn fn) {
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    fn(++number, raw);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

bool has_scheme(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  if (std::isalpha(static_cast<unsigned char>(text[0])) == 0) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

Services::Services(std::string_view shipped) {
  for_each_line(shipped, [this](int number, std::string_view raw) {
    const Line line = parse_line(raw);
    if (line.blank) return;
    if (!line.ok) throw std::invalid_argument("services: bad shipped line " + std::to_string(number));
    values_[line.name] = line.value;
  });
}

std::vector<std::string> Services::override_with(std::string_view text, std::string_view file_name) {
  std::vector<std::string> problems;
  const std::string where = std::string(file_name) + " line ";
  for_each_line(text, [&](int number, std::string_view raw) {
    const Line line = parse_line(raw);
    if (line.blank) return;
    const std::string at = where + std::to_string(number);
    if (!line.ok) {
      problems.push_back(at + ": not \"name = value\"");
      return;
    }
    const auto it = values_.find(line.name);
    if (it == values_.end()) {
      problems.push_back(at + ": unknown service \"" + line.name + "\"");
      return;
    }
    if (has_scheme(it->second) && !line.value.empty() && !has_scheme(line.value)) {
      problems.push_back(at + ": \"" + line.value + "\" is not an address (like http://host)");
      return;
    }
    it->second = line.value;
  });
  return problems;
}

const std::string& Services::value(std::string_view name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) throw std::out_of_range("no service named " + std::string(name));
  return it->second;
}

std::string Services::url(std::string_view name, std::string_view path) const {
  std::string host = value(name);
  while (!host.empty() && host.back() == '/' && !path.empty() && path.front() == '/') host.pop_back();
  return host + std::string(path);
}

bool Services::has(std::string_view name) const { return values_.find(name) != values_.end(); }

int Services::repoint(std::string_view from, std::string_view to) {
  int changed = 0;
  for (auto& [name, value] : values_)
    if (value == from) {
      value = to;
      ++changed;
    }
  return changed;
}

std::string user_services_path() { return config_dir() + "/services.conf"; }

LoadedServices load_services(std::string_view shipped) {
  LoadedServices loaded{Services(shipped), {}};
  const std::string path = user_services_path();
  const FileRead user = read_whole_file(path);
  if (user.bytes)
    loaded.problems = loaded.services.override_with(*user.bytes, path);
  else if (user.error_number != ENOENT)
    loaded.problems.push_back(path + ": " + user.error);
  return loaded;
}

}  // namespace cirrodex
