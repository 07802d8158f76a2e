#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/unique_fd.h"

namespace cirrodex {
namespace {

// The bytes at the end of the file, handed to the kernel in one write. A
// short write is carried on; when the rest cannot be written the file is cut
// back to where it ended.
bool write_whole(int fd, std::string_view bytes) {
  struct stat before {};
  if (::fstat(fd, &before) != 0) return false;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // Nothing better can be done when the cut fails too.
      (void)::ftruncate(fd, before.st_size);
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool PosixAppendFile::exists(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0;
}

AppendResult PosixAppendFile::append(const std::string& name, std::string_view first_lines, std::string_view bytes) {
  UniqueFd fd(::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT) return AppendResult::OpenFailed;
    UniqueFd created(::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (created.get() < 0) return AppendResult::CreateFailed;
    if (!write_whole(created.get(), first_lines)) {
      // An empty log would never get its first lines.
      ::unlink(name.c_str());
      return AppendResult::CreateFailed;
    }
    if (!write_whole(created.get(), bytes)) return AppendResult::WriteFailed;
    return created.close() ? AppendResult::Appended : AppendResult::WriteFailed;
  }
  if (!write_whole(fd.get(), bytes)) return AppendResult::WriteFailed;
  return fd.close() ? AppendResult::Appended : AppendResult::WriteFailed;
}

}  // namespace cirrodex
