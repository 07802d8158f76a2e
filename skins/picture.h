#pragma once
// The pictures a skin is drawn from: BMP and JPEG files decoded into plain
// 32-bit pixels, with every failure turned into a sentence for the user.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

// A decoded picture: top-down rows of 0xAARRGGBB pixels (alpha 255 unless the file has alpha).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// A picture, or the reason it could not be read ("not a BMP file", "unsupported BMP compression 3 with 16 bits",
// "JPEG: Premature end of JPEG file" ...).
struct PictureResult {
  std::optional<Picture> picture;
  std::string error;
};

// Largest picture either decoder accepts; anything bigger is taken as damage
// rather than risking a huge allocation.
inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 28;

PictureResult decode_bmp(std::string_view bytes);
PictureResult decode_jpeg(std::string_view bytes);

// Reads a file and decodes it by its name's extension (.jpg/.jpeg/.jpe -> JPEG, .bmp/.dib -> BMP, any case); an
// unknown extension is decoded by its first bytes ("BM" or FF D8). Errors name the file: "cannot read /x/y.bmp: No
// such file or directory".
PictureResult load_picture_file(const std::string& path);

}  // namespace cirrodex
