#pragma once
// The proxy settings as the user entered them in the Connection Preferences,
// read in one place: a key that is missing ("n/a") is absent, every other
// value (the empty text too) is present.

#include <optional>
#include <string>

#include "platform/settings.h"

namespace cirrodex {

struct ProxyKeys {
  bool use = false;  // ProxyUse is "y"
  std::optional<std::string> host, port, user, password;
};

ProxyKeys read_proxy_keys(Settings& settings);

}  // namespace cirrodex
