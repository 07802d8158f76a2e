#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cirrodex {

FileRead read_whole_file(const std::string& path, std::size_t max_bytes) {
  FileRead result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.error_number = errno;
    result.error = std::strerror(errno);
    return result;
  }
  std::string bytes;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
      static_cast<std::size_t>(st.st_size) <= max_bytes)
    bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error_number = errno;
      result.error = std::strerror(errno);
      break;
    }
    if (n == 0) {
      result.bytes = std::move(bytes);
      break;
    }
    if (static_cast<std::size_t>(n) > max_bytes - bytes.size()) {
      result.error = "file is too large";
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return result;
}

}  // namespace cirrodex
