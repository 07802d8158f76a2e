#pragma once
// The desktop's proxy for an address, in the form the transfer component's
// system-proxy resolver takes: "" for a direct connection, else
// "http://host:port" or "socks5://host:port" (with "user:password@" when
// the desktop keeps credentials for it).

#include <string>

namespace cirrodex {

std::string system_proxy_for(const std::string& url);

}  // namespace cirrodex
