#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/paths.h"

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

namespace {

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool write_file_atomically(const std::string& path, std::string_view bytes) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!make_dirs(path.substr(0, slash))) return false;
  std::string name = path + ".XXXXXX";
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = write_all(fd, bytes);
  const bool closed = ::close(fd) == 0;  // a write that did not land shows here
  const bool ok = written && closed && std::rename(temp.data(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.data());
  return ok;
}

}  // namespace cirrodex
