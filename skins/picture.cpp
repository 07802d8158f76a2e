// Picture files: read whole, then decoded by extension or, failing that, by
// their first bytes.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "skins/picture.h"

namespace cirrodex {
namespace {

// The largest BMP the decoder accepts (16384 x 16384 at 32 bits, 1 GiB) plus
// room for its headers; anything longer is not a picture.
constexpr std::size_t kMaxFileBytes = (std::size_t{1} << 30) + (std::size_t{1} << 20);

// The whole file, or false with errno-style text in error.
bool read_file(const std::string& path, std::string& bytes, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
      static_cast<std::size_t>(st.st_size) <= kMaxFileBytes) {
    bytes.reserve(static_cast<std::size_t>(st.st_size));
  }
  char buffer[65536];
  bool ok = true;
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      ok = false;
      break;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxFileBytes) {
      error = "file is too large for a picture";
      ok = false;
      break;
    }
  }
  ::close(fd);
  return ok;
}

enum class Kind { kUnknown, kBmp, kJpeg };

Kind kind_by_name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Kind::kUnknown;
  const std::string ext = text::lower(std::string_view(path).substr(dot + 1));
  if (ext == "jpg" || ext == "jpeg" || ext == "jpe") return Kind::kJpeg;
  if (ext == "bmp" || ext == "dib") return Kind::kBmp;
  return Kind::kUnknown;
}

Kind kind_by_content(std::string_view bytes) {
  if (bytes.substr(0, 2) == "BM") return Kind::kBmp;
  if (bytes.substr(0, 2) == "\xFF\xD8") return Kind::kJpeg;
  return Kind::kUnknown;
}

}  // namespace

PictureResult load_picture_file(const std::string& path) {
  std::string bytes;
  std::string error;
  if (!read_file(path, bytes, error)) return {std::nullopt, "cannot read " + path + ": " + error};

  Kind kind = kind_by_name(path);
  if (kind == Kind::kUnknown) kind = kind_by_content(bytes);
  PictureResult result;
  switch (kind) {
    case Kind::kBmp:
      result = decode_bmp(bytes);
      break;
    case Kind::kJpeg:
      result = decode_jpeg(bytes);
      break;
    case Kind::kUnknown:
      return {std::nullopt, path + ": not a BMP or JPEG picture"};
  }
  if (!result.picture) result.error = path + ": " + result.error;
  return result;
}

}  // namespace cirrodex
