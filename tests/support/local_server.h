#pragma once
// A test server script run as a child process; it prints its port first.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace cirrodex::testing {

// The test server script as a child process; it prints its port first.
class LocalServer {
 public:
#ifdef CIRRODEX_HTTP_SERVER
  LocalServer() : LocalServer(CIRRODEX_HTTP_SERVER) {}
#endif
  explicit LocalServer(std::string script) : script_(std::move(script)) {}
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;
  ~LocalServer() { stop(); }

  // false with why() set when it did not come up; unavailable() when the
  // script said it cannot serve here (exit 77).
  bool start(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return failed("pipe");
    pid_ = ::fork();
    if (pid_ < 0) return failed("fork");
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      std::vector<std::string> all = {"python3", script_};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (auto& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv("/usr/bin/python3", argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{out[0], POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buf[64];
      const ssize_t n = ::read(out[0], buf, sizeof buf);
      if (n <= 0) break;
      line.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    port_ = std::atoi(line.c_str());
    if (port_ > 0) return true;
    int status = 0;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    unavailable_ = WIFEXITED(status) && WEXITSTATUS(status) == 77;
    return failed("the server printed no port");
  }
  void stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  int port() const { return port_; }
  bool unavailable() const { return unavailable_; }
  const std::string& why() const { return why_; }

 private:
  bool failed(const std::string& why) {
    why_ = why;
    return false;
  }
  std::string script_;
  pid_t pid_ = -1;
  int port_ = 0;
  bool unavailable_ = false;
  std::string why_;
};

}  // namespace cirrodex::testing
