#include "conditions/taskbar_summary.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

using Clock = std::chrono::steady_clock;

// The variable when it holds an absolute path, without trailing slashes.
std::string absolute_env(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string s = value;
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string home_dir() {
  if (std::string home = absolute_env("HOME"); !home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/' ? std::string(entry->pw_dir)
                                                                                 : std::string();
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; false when the close reports an error (a write that did not land).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Readers see the old text or the new one, never a part: the new text goes
// to a temporary file in the same folder, which then replaces the old one.
// No fsync: the file is a throwaway copy for panels, remade every retrieval.
bool write_atomically(const std::string& path, std::string_view bytes) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!make_dirs(path.substr(0, slash))) return false;
  std::string name = path + ".XXXXXX";
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  const bool ok = write_all(fd.get(), bytes) && fd.close() && std::rename(temp.data(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.data());
  return ok;
}

int millis_left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool wait_writable(int fd, Clock::time_point deadline) {
  for (;;) {
    const int left = millis_left(deadline);
    if (left == 0) return false;
    pollfd p{fd, POLLOUT, 0};
    const int rc = ::poll(&p, 1, left);
    if (rc < 0 && errno == EINTR) continue;
    return rc > 0 && (p.revents & POLLOUT) != 0 && (p.revents & (POLLERR | POLLHUP)) == 0;
  }
}

// One connection, one line, closed again; nothing blocks past the deadline.
bool send_line(const std::string& path, std::string_view line, std::chrono::milliseconds wait) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());

  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), static_cast<socklen_t>(sizeof(addr))) == 0) break;
    if (errno == EINPROGRESS || errno == EINTR) {
      int error = 0;
      socklen_t size = sizeof(error);
      if (!wait_writable(fd.get(), deadline) || ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
          error != 0)
        return false;
      break;
    }
    // A full backlog: the companion is busy accepting; try again shortly.
    if (errno != EAGAIN) return false;
    const int left = millis_left(deadline);
    if (left == 0) return false;
    ::poll(nullptr, 0, std::min(left, 10));
  }
  while (!line.empty()) {
    const ssize_t n = ::send(fd.get(), line.data(), line.size(), MSG_NOSIGNAL);
    if (n > 0) {
      line.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!wait_writable(fd.get(), deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string taskbar_summary(std::string_view caption, const Readings& r) {
  std::string s(caption);
  s += " - " + r.Conditions + " - " + r.Temperature + " / " + "Humidity: " + r.Humidity + " - " + "Wind: " + r.Wind;
  return s;
}

TaskbarTargets taskbar_targets() {
  if (const std::string runtime = absolute_env("XDG_RUNTIME_DIR"); !runtime.empty())
    return {runtime + "/cirrodex/taskbar-summary.txt", runtime + "/cirrodex-taskbar.socket"};
  std::string cache = absolute_env("XDG_CACHE_HOME");
  if (cache.empty()) {
    const std::string home = home_dir();
    if (home.empty()) return {};
    cache = home + "/.cache";
  }
  return {cache + "/cirrodex/taskbar-summary.txt", {}};
}

TaskbarDelivery deliver_taskbar_summary(std::string_view summary, const TaskbarTargets& targets,
                                        std::chrono::milliseconds wait) {
  // Readers take one line per summary.
  std::string line = text::latin1_to_utf8(summary);
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::replace(line.begin(), line.end(), '\r', ' ');
  line += '\n';
  TaskbarDelivery d;
  if (!targets.summary_file.empty()) d.written = write_atomically(targets.summary_file, line);
  if (!targets.socket_path.empty()) d.delivered = send_line(targets.socket_path, line, wait);
  return d;
}

TaskbarDelivery send_taskbar_summary(const Display& display, const Readings& r) {
  return deliver_taskbar_summary(taskbar_summary(display.caption(), r), taskbar_targets());
}

}  // namespace cirrodex
