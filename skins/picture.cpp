// Picture files: read whole, then decoded by extension or, failing that, by
// their first bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"
#include "skins/picture.h"

namespace cirrodex {
namespace {

// The largest BMP the decoder accepts (16384 x 16384 at 32 bits, 1 GiB) plus
// room for its headers; anything longer is not a picture.
constexpr std::size_t kMaxFileBytes = (std::size_t{1} << 30) + (std::size_t{1} << 20);

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
  FileRead file = read_whole_file(path, kMaxFileBytes);
  if (!file.bytes) {
    if (file.error == "file is too large") file.error = "file is too large for a picture";
    return {std::nullopt, "cannot read " + path + ": " + file.error};
  }
  const std::string& bytes = *file.bytes;

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
