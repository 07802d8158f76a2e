#pragma once
// A service launcher that starts nothing and records what it is asked:
//   probe: HOST:PORT
//   start: PROGRAM          (answers with the next pid and port)
//   stop: PID

#include <set>
#include <string>

#include "platform/fakes/call_log.h"
#include "platform/service_launcher.h"

namespace cirrodex::fakes {

class FakeServiceLauncher final : public ServiceLauncher {
 public:
  explicit FakeServiceLauncher(CallLog& log) : log_(log) {}

  bool answers(const std::string& host, int port) override {
    const std::string at = host + ":" + std::to_string(port);
    log_.add("probe: " + at);
    return listening.count(at) != 0;
  }
  std::optional<Child> start(const std::string& program, std::string& why) override {
    log_.add("start: " + program);
    if (!refusal.empty()) {
      why = refusal;
      return std::nullopt;
    }
    const Child child{next_pid, next_port};
    alive.insert(child.pid);
    listening.insert("127.0.0.1:" + std::to_string(child.port));
    ++next_pid;
    ++next_port;
    return child;
  }
  bool running(int pid) override { return alive.count(pid) != 0; }
  void stop(int pid) override {
    log_.add("stop: " + std::to_string(pid));
    alive.erase(pid);
  }

  std::set<std::string> listening;  // "host:port" that answer
  std::set<int> alive;
  std::string refusal;  // not empty: start fails with it
  int next_pid = 4000;
  int next_port = 41000;

 private:
  CallLog& log_;
};

}  // namespace cirrodex::fakes
