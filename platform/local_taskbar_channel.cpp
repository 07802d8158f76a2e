#include "platform/local_taskbar_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/unique_fd.h"

namespace cirrodex {

namespace {

using SteadyClock = std::chrono::steady_clock;

int millis_left(SteadyClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool wait_writable(int fd, SteadyClock::time_point deadline) {
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

  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  const SteadyClock::time_point deadline = SteadyClock::now() + wait;
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

TaskbarTargets taskbar_targets() {
  if (const std::string runtime = runtime_dir(); !runtime.empty())
    return {runtime + "/cirrodex/taskbar-summary.txt", runtime + "/cirrodex-taskbar.socket"};
  return {cache_dir() + "/taskbar-summary.txt", {}};
}

TaskbarDelivery LocalTaskbarChannel::deliver(std::string_view summary) {
  const TaskbarTargets targets =
      targets_.summary_file.empty() && targets_.socket_path.empty() ? taskbar_targets() : targets_;
  // Readers take one line per summary.
  std::string line = text::latin1_to_utf8(summary);
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::replace(line.begin(), line.end(), '\r', ' ');
  line += '\n';
  TaskbarDelivery d;
  if (!targets.summary_file.empty()) d.written = write_file_atomically(targets.summary_file, line);
  if (!targets.socket_path.empty()) d.delivered = send_line(targets.socket_path, line, wait_);
  return d;
}

}  // namespace cirrodex
