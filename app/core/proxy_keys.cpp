#include "app/core/proxy_keys.h"

namespace cirrodex {

namespace {

std::optional<std::string> present(Settings& settings, std::string_view key) {
  std::string value = settings.get(key);
  if (value == kMissing) return std::nullopt;
  return value;
}

}  // namespace

ProxyKeys read_proxy_keys(Settings& settings) {
  ProxyKeys keys;
  keys.use = settings.flag("ProxyUse");
  if (!keys.use) return keys;
  keys.host = present(settings, "Proxy");
  keys.port = present(settings, "ProxyPort");
  keys.user = present(settings, "ProxyUserid");
  keys.password = present(settings, "ProxyPass");
  return keys;
}

}  // namespace cirrodex
