#include "app/core/local_service.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

// "127.0.0.1:PORT PID": the record another client reads.
struct Record {
  int port = 0;
  int pid = 0;
};

std::optional<Record> read_record(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const FileRead file = read_whole_file(path, 256);
  if (!file.bytes) return std::nullopt;
  const std::string line = text::trim(*file.bytes);
  const std::size_t colon = line.find(':'), blank = line.find(' ');
  if (line.rfind("127.0.0.1:", 0) != 0 || blank == std::string::npos || colon > blank) return std::nullopt;
  const auto port = text::to_integer(line.substr(colon + 1, blank - colon - 1));
  const auto pid = text::to_integer(text::trim(line.substr(blank + 1)));
  if (!port || !pid || *port <= 0 || *port > 65535 || *pid <= 0 || *pid > 0x7FFFFFFF) return std::nullopt;
  return Record{static_cast<int>(*port), static_cast<int>(*pid)};
}

std::string address_of(int port) { return "http://127.0.0.1:" + std::to_string(port); }

}  // namespace

std::optional<LoopbackEndpoint> loopback_endpoint(std::string_view url) {
  if (text::lower(url.substr(0, 7)) != "http://") return std::nullopt;
  std::string_view rest = url.substr(7);
  while (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  if (rest.find('/') != std::string_view::npos) return std::nullopt;
  LoopbackEndpoint e;
  std::string_view port;
  if (rest.starts_with("[")) {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    e.host = std::string(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    if (rest.starts_with(":"))
      port = rest.substr(1);
    else if (!rest.empty())
      return std::nullopt;
  } else {
    const std::size_t colon = rest.rfind(':');
    e.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) port = rest.substr(colon + 1);
  }
  e.host = text::lower(e.host);
  if (e.host != "127.0.0.1" && e.host != "localhost" && e.host != "::1") return std::nullopt;
  if (!port.empty()) {
    const auto n = text::to_integer(port);
    if (!n || *n <= 0 || *n > 65535 || port.front() == '+' || port.front() == '-') return std::nullopt;
    e.port = static_cast<int>(*n);
  }
  return e;
}

std::string LocalService::attach(Services& services) {
  const std::string configured = services.value("conditions");
  const auto endpoint = loopback_endpoint(configured);
  if (!endpoint) return {};
  if (launcher_.answers(endpoint->host, endpoint->port)) return {};

  if (const auto record = read_record(record_);
      record && launcher_.running(record->pid) && launcher_.answers("127.0.0.1", record->port)) {
    services.repoint(configured, address_of(record->port));
    return {};
  }
  std::string why;
  const auto child = launcher_.start(program_, why);
  if (!child) return "The conditions service could not be started: " + why;
  child_ = *child;
  if (!record_.empty())
    write_file_atomically(record_,
                          "127.0.0.1:" + std::to_string(child_.port) + " " + std::to_string(child_.pid) + "\n");
  services.repoint(configured, address_of(child_.port));
  return {};
}

void LocalService::stop() {
  if (child_.pid <= 0) return;
  launcher_.stop(child_.pid);
  // Another client may have recorded its own service since.
  if (const auto record = read_record(record_); record && record->pid == child_.pid) std::remove(record_.c_str());
  child_ = {};
}

}  // namespace cirrodex
