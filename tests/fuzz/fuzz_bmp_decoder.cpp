// Arbitrary bytes through both picture decoders. Neither may read outside
// the input, and a picture that comes back holds exactly width * height
// pixels within the size limits; a refusal always says why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "skins/picture.h"

using namespace cirrodex;

namespace {

void check(const PictureResult& r) {
  if (!r.picture) {
    if (r.error.empty()) std::abort();
    return;
  }
  const Picture& p = *r.picture;
  if (p.width <= 0 || p.height <= 0 || p.width > kMaxPictureSide || p.height > kMaxPictureSide) std::abort();
  if (p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height)) std::abort();
  if (!r.error.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(decode_bmp(bytes));
  check(decode_jpeg(bytes));
  return 0;
}
