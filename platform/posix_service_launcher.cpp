#include "platform/posix_service_launcher.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cirrodex {

namespace {

constexpr int kConnectWaitMs = 300;
constexpr auto kStopWait = std::chrono::milliseconds(2000);

// The systemd convention: the first passed socket is descriptor 3.
constexpr int kListenFd = 3;

}  // namespace

bool PosixServiceLauncher::answers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (addrinfo* a = found; a != nullptr && !ok; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      ok = true;
    } else if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      ok = ::poll(&p, 1, kConnectWaitMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
           error == 0;
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  return ok;
}

std::optional<ServiceLauncher::Child> PosixServiceLauncher::start(const std::string& program, std::string& why) {
  if (::access(program.c_str(), X_OK) != 0) {
    why = program + ": " + std::strerror(errno);
    return std::nullopt;
  }
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) {
    why = std::string("no socket: ") + std::strerror(errno);
    return std::nullopt;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 128) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    why = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
    ::close(listener);
    return std::nullopt;
  }
  // Everything the child needs is made before the fork: between fork and
  // exec only async-signal-safe calls are allowed in a threaded program.
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    if (entry.starts_with("LISTEN_PID=") || entry.starts_with("LISTEN_FDS=") || entry.starts_with("LISTEN_FDNAMES="))
      continue;
    env.emplace_back(entry);
  }
  env.emplace_back("LISTEN_FDS=1");
  env.emplace_back("LISTEN_PID=" + std::string(20, '\0'));
  std::vector<char*> envp;
  envp.reserve(env.size() + 1);
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  char* pid_digits = env.back().data() + std::strlen("LISTEN_PID=");
  std::string path = program;
  char* argv[] = {path.data(), nullptr};

  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    why = std::string("cannot start a process: ") + std::strerror(errno);
    ::close(listener);
    return std::nullopt;
  }
  if (pid == 0) {
    // The child ends with the program, however the program ends (a crash or
    // SIGKILL too); if the program is already gone, it ends now.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(0);
    // The socket becomes descriptor 3 (dup2 clears close-on-exec) and
    // LISTEN_PID names this process, as systemd does it.
    if (listener != kListenFd && ::dup2(listener, kListenFd) < 0) ::_exit(127);
    if (listener == kListenFd) ::fcntl(kListenFd, F_SETFD, 0);
    char digits[20];
    int n = 0;
    for (pid_t own = ::getpid(); own > 0 && n < 20; own /= 10) digits[n++] = static_cast<char>('0' + own % 10);
    for (int i = 0; i < n; ++i) pid_digits[i] = digits[n - 1 - i];
    ::execve(path.c_str(), argv, envp.data());
    ::_exit(127);
  }
  ::close(listener);  // the child holds it now
  return Child{static_cast<int>(pid), ntohs(address.sin_port)};
}

bool PosixServiceLauncher::running(int pid) {
  if (pid <= 0) return false;
  // Reaps our own child if it has ended, so its id reads as gone.
  int status = 0;
  if (::waitpid(pid, &status, WNOHANG) == pid) return false;
  return ::kill(pid, 0) == 0;
}

void PosixServiceLauncher::stop(int pid) {
  if (pid <= 0 || ::kill(pid, SIGTERM) != 0) return;
  const auto deadline = std::chrono::steady_clock::now() + kStopWait;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD && ::kill(pid, 0) != 0)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace cirrodex
