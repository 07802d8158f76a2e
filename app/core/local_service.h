#pragma once
// The conditions service on this machine. The shipped services file points
// the conditions host at a loopback address, where a service started by the
// user (a systemd user unit, say) may listen. When nothing answers there,
// the program uses the service another client of this login started (its
// address is recorded in the runtime folder) or starts cirrodex-service
// itself as a child, on a free port, and ends it at exit.

#include <optional>
#include <string>
#include <string_view>

#include "platform/service_launcher.h"
#include "platform/services.h"

namespace cirrodex {

struct LoopbackEndpoint {
  std::string host;  // "127.0.0.1", "localhost" or "::1"
  int port = 80;
};

// The host and port of an http:// address on a loopback host; empty for any
// other address (a remote service is the user's to run).
std::optional<LoopbackEndpoint> loopback_endpoint(std::string_view url);

class LocalService {
 public:
  // record_path: where the address of a started service is written ("" for
  // nowhere: no runtime folder).
  LocalService(ServiceLauncher& launcher, std::string program, std::string record_path)
      : launcher_(launcher), program_(std::move(program)), record_(std::move(record_path)) {}
  ~LocalService() { stop(); }
  LocalService(const LocalService&) = delete;
  LocalService& operator=(const LocalService&) = delete;

  // Repoints every entry that names the configured loopback conditions
  // address to a service that answers. Empty when that worked or nothing
  // had to be done; otherwise the reason, for the status line.
  std::string attach(Services& services);
  // Ends the child this program started, if any, and its record.
  void stop();
  bool started_child() const { return child_.pid > 0; }

 private:
  ServiceLauncher& launcher_;
  std::string program_;
  std::string record_;
  ServiceLauncher::Child child_;
};

}  // namespace cirrodex
