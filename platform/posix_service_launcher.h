#pragma once
// The service launcher over POSIX sockets, fork and exec.

#include <string>

#include "platform/service_launcher.h"

namespace cirrodex {

class PosixServiceLauncher final : public ServiceLauncher {
 public:
  bool answers(const std::string& host, int port) override;
  std::optional<Child> start(const std::string& program, std::string& why) override;
  bool running(int pid) override;
  void stop(int pid) override;
};

}  // namespace cirrodex
