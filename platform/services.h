#pragma once
// The remote hosts the program talks to, by name. The shipped list is built
// in (resources/services/services.conf); a user copy in the config folder
// overrides any of its entries. Lines are "name = value"; "#" starts a
// comment line.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

class Services {
 public:
  // The shipped list: every name the program may ask for.
  explicit Services(std::string_view shipped);

  // Applies a user's overrides. A line that is not "name = value", an unknown
  // name or an address where the shipped entry has one but the new value is
  // none (no "scheme:") is left out (an empty value is kept: it turns the
  // service off); each gives one problem text naming its
  // line, so a typo never goes unnoticed.
  std::vector<std::string> override_with(std::string_view text, std::string_view file_name);

  // The value of a shipped name; an unknown name is a programming error and
  // throws std::out_of_range.
  const std::string& value(std::string_view name) const;
  // value(name) with the path appended; a trailing "/" of the host and a
  // leading "/" of the path do not double up.
  std::string url(std::string_view name, std::string_view path) const;
  bool has(std::string_view name) const;
  // Every entry whose value is exactly from gets to instead (the local
  // service's address once it is known); the number of entries changed.
  int repoint(std::string_view from, std::string_view to);

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

// Whether the text starts with a URI scheme ("http:", "mailto:").
bool has_scheme(std::string_view text);

// The user's copy: config_dir() + "/services.conf".
std::string user_services_path();

struct LoadedServices {
  Services services;
  // The user copy's mistakes, for the status line; also a copy that exists
  // but cannot be read.
  std::vector<std::string> problems;
};

// The shipped list with the user's copy over it, when there is one.
LoadedServices load_services(std::string_view shipped);

}  // namespace cirrodex
