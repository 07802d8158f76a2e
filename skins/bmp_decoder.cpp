// Windows and OS/2 bitmaps, read by hand. Every offset and length comes from
// the file, so each one is checked against the buffer before it is used.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skins/picture.h"

namespace cirrodex {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitfields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitfields = 6,
};

PictureResult fail(std::string message) { return {std::nullopt, std::move(message)}; }

std::uint32_t u8(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t u16(std::string_view b, std::size_t at) { return u8(b, at) | (u8(b, at + 1) << 8); }
std::uint32_t u32(std::string_view b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }
std::int64_t i32(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

std::uint32_t opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }

std::string hex(std::uint32_t v) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(v >> shift) & 0xFu];
  return out;
}

// One colour channel of a 16- or 32-bit pixel, described by its mask.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  // The channel scaled to 0..255; a channel without a mask reads as 0.
  std::uint32_t read(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    const std::uint32_t max = (1u << bits) - 1;
    return (v * 255 + max / 2) / max;
  }
};

// Masks must be one run of set bits; anything else is not a colour channel.
bool make_channel(std::uint32_t mask, Channel& out) {
  out = {};
  if (mask == 0) return true;
  const int shift = std::countr_zero(mask);
  const std::uint32_t run = mask >> shift;
  if ((run & (run + 1)) != 0) return false;
  out = {mask, shift, std::popcount(run)};
  return true;
}

struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive; bottom_up says the row order
  bool bottom_up = true;
  std::uint32_t bits = 0;
  std::uint32_t compression = kRgb;
  std::vector<std::uint32_t> palette;
  Channel red, green, blue, alpha;
  bool has_alpha = false;
  std::size_t data_offset = 0;
};

class Canvas {
 public:
  explicit Canvas(const Layout& layout)
      : layout_(layout),
        picture_{static_cast<int>(layout.width), static_cast<int>(layout.height),
                 std::vector<std::uint32_t>(static_cast<std::size_t>(layout.width * layout.height),
                                            layout.palette.empty() ? 0xFF000000u : layout.palette[0])} {}

  // Row as stored in the file (0 is the first row of pixel data).
  void set(std::int64_t file_row, std::int64_t x, std::uint32_t argb) {
    const std::int64_t y = layout_.bottom_up ? layout_.height - 1 - file_row : file_row;
    picture_.pixels[static_cast<std::size_t>(y * layout_.width + x)] = argb;
  }

  // A palette index, or false when the palette has no such entry.
  bool set_index(std::int64_t file_row, std::int64_t x, std::uint32_t index) {
    if (index >= layout_.palette.size()) return false;
    set(file_row, x, layout_.palette[index]);
    return true;
  }

  Picture take() { return std::move(picture_); }

 private:
  const Layout& layout_;
  Picture picture_;
};

std::string bad_index(std::uint32_t index, std::size_t palette_size) {
  return "BMP pixel uses colour " + std::to_string(index) + " but the palette has only " +
         std::to_string(palette_size) + " colours";
}

PictureResult decode_plain(std::string_view bytes, const Layout& l) {
  const std::int64_t row_bits = l.width * l.bits;
  const std::int64_t stride = (row_bits + 31) / 32 * 4;
  // The last row may lack its padding; some writers stop at the last pixel.
  const std::int64_t needed = stride * (l.height - 1) + (row_bits + 7) / 8;
  const std::int64_t available = static_cast<std::int64_t>(bytes.size() - l.data_offset);
  if (available < needed) {
    return fail("BMP pixel data is truncated: " + std::to_string(needed) + " bytes needed, " +
                std::to_string(available) + " present");
  }

  Canvas canvas(l);
  const bool masked = l.compression != kRgb;
  for (std::int64_t row = 0; row < l.height; ++row) {
    const std::size_t start = l.data_offset + static_cast<std::size_t>(row * stride);
    for (std::int64_t x = 0; x < l.width; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      switch (l.bits) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = ux * l.bits;
          const std::uint32_t byte = u8(bytes, start + bit / 8);
          const auto shift = static_cast<std::uint32_t>(8 - l.bits - bit % 8);
          const std::uint32_t index = (byte >> shift) & ((1u << l.bits) - 1);
          if (!canvas.set_index(row, x, index)) return fail(bad_index(index, l.palette.size()));
          break;
        }
        case 16: {
          const std::uint32_t px = u16(bytes, start + ux * 2);
          canvas.set(row, x,
                     (l.has_alpha ? l.alpha.read(px) : 255u) << 24 | l.red.read(px) << 16 | l.green.read(px) << 8 |
                         l.blue.read(px));
          break;
        }
        case 24: {
          const std::size_t p = start + ux * 3;
          canvas.set(row, x, opaque(u8(bytes, p + 2), u8(bytes, p + 1), u8(bytes, p)));
          break;
        }
        default: {  // 32
          const std::uint32_t px = u32(bytes, start + ux * 4);
          if (!masked) {
            canvas.set(row, x, 0xFF000000u | (px & 0xFFFFFFu));
          } else {
            canvas.set(row, x,
                       (l.has_alpha ? l.alpha.read(px) : 255u) << 24 | l.red.read(px) << 16 | l.green.read(px) << 8 |
                           l.blue.read(px));
          }
          break;
        }
      }
    }
  }
  return {canvas.take(), {}};
}

// Run-length data: pairs of (count, value) with escapes for end of line, end
// of picture, a jump, and literal runs padded to 16 bits. Pixels the stream
// never reaches keep palette colour 0; runs past the right edge are clipped.
// Without a canvas the stream is only checked. Returns the error, or "".
std::string walk_rle(std::string_view bytes, const Layout& l, Canvas* canvas) {
  const bool four = l.compression == kRle4;
  const std::string_view data = bytes.substr(l.data_offset);
  constexpr const char* kTruncated = "BMP run-length data is truncated";
  std::size_t pos = 0;
  std::int64_t x = 0;
  std::int64_t row = 0;
  bool failed = false;
  std::uint32_t bad = 0;

  // False once the row is full (so long runs stop early) or on a bad index.
  auto put = [&](std::uint32_t index) {
    if (x >= l.width) return false;
    if (index >= l.palette.size()) {
      failed = true;
      bad = index;
      return false;
    }
    if (canvas != nullptr) canvas->set(row, x, l.palette[index]);
    ++x;
    return true;
  };

  while (row < l.height) {
    if (data.size() - pos < 2) return kTruncated;
    const std::uint32_t count = u8(data, pos);
    const std::uint32_t value = u8(data, pos + 1);
    pos += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t index = !four ? value : (i % 2 == 0 ? value >> 4 : value & 0xFu);
        if (!put(index)) break;
      }
    } else if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // jump right and up
      if (data.size() - pos < 2) return kTruncated;
      x += u8(data, pos);
      row += u8(data, pos + 1);
      pos += 2;
    } else {  // literal run of `value` pixels
      const std::size_t length = four ? (value + 1) / 2 : value;
      if (data.size() - pos < length) return kTruncated;
      for (std::uint32_t i = 0; i < value; ++i) {
        const std::uint32_t byte = u8(data, pos + (four ? i / 2 : i));
        const std::uint32_t index = !four ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0xFu);
        if (!put(index)) break;
      }
      pos += length + length % 2;
      if (pos > data.size()) pos = data.size();  // padding of the final run may be missing
    }
    if (failed) return bad_index(bad, l.palette.size());
  }
  return {};
}

// The stream is checked before the picture is allocated: a few damaged bytes
// can claim a picture of hundreds of megabytes.
PictureResult decode_rle(std::string_view bytes, const Layout& l) {
  if (std::string error = walk_rle(bytes, l, nullptr); !error.empty()) return fail(std::move(error));
  Canvas canvas(l);
  walk_rle(bytes, l, &canvas);
  return {canvas.take(), {}};
}

bool valid_combination(std::uint32_t compression, std::uint32_t bits) {
  switch (compression) {
    case kRgb:
      return true;
    case kRle8:
      return bits == 8;
    case kRle4:
      return bits == 4;
    case kBitfields:
    case kAlphaBitfields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

}  // namespace

PictureResult decode_bmp(std::string_view bytes) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return fail("not a BMP file");
  const std::string truncated_headers = "BMP file is truncated in its headers";
  if (bytes.size() < kFileHeaderSize + 4) return fail(truncated_headers);
  const std::uint32_t offset = u32(bytes, 10);
  const std::uint32_t header_size = u32(bytes, 14);
  const bool core = header_size == kCoreHeaderSize;
  if (!core && header_size != 40 && header_size != 52 && header_size != 56 && header_size != 108 &&
      header_size != 124) {
    return fail("unsupported BMP header size " + std::to_string(header_size));
  }
  if (bytes.size() - kFileHeaderSize < header_size) return fail(truncated_headers);

  Layout l;
  std::int64_t signed_height = 0;
  std::uint32_t colours_used = 0;
  if (core) {
    l.width = u16(bytes, 18);
    signed_height = u16(bytes, 20);
    l.bits = u16(bytes, 24);
  } else {
    l.width = i32(bytes, 18);
    signed_height = i32(bytes, 22);
    l.bits = u16(bytes, 28);
    l.compression = u32(bytes, 30);
    colours_used = u32(bytes, 46);
  }

  const bool bits_ok =
      l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 24 || (!core && (l.bits == 16 || l.bits == 32));
  if (!bits_ok) return fail("unsupported BMP bit depth " + std::to_string(l.bits));
  if (!valid_combination(l.compression, l.bits)) {
    std::string message =
        "unsupported BMP compression " + std::to_string(l.compression) + " with " + std::to_string(l.bits) + " bits";
    if (l.compression == kJpeg) message += " (a JPEG inside the BMP)";
    if (l.compression == kPng) message += " (a PNG inside the BMP)";
    return fail(message);
  }

  l.bottom_up = signed_height > 0;
  l.height = signed_height < 0 ? -signed_height : signed_height;
  const std::string size_text = std::to_string(l.width) + "x" + std::to_string(signed_height);
  if (l.width <= 0 || l.height == 0) return fail("BMP has an invalid size " + size_text);
  if (l.width > kMaxPictureSide || l.height > kMaxPictureSide || l.width * l.height > kMaxPicturePixels) {
    return fail("BMP size " + size_text + " is too large");
  }

  // Channel masks sit right after the 40-byte header, inside it for the
  // longer headers and as a separate block for the 40-byte one.
  std::size_t palette_start = kFileHeaderSize + header_size;
  if (l.compression == kBitfields || l.compression == kAlphaBitfields) {
    const std::size_t masks_end = kFileHeaderSize + 40 + (l.compression == kAlphaBitfields ? 16 : 12);
    if (bytes.size() < masks_end) return fail(truncated_headers);
    if (header_size == 40) palette_start = masks_end;
    l.has_alpha = l.compression == kAlphaBitfields || header_size >= 56;
    const std::uint32_t masks[4] = {u32(bytes, 54), u32(bytes, 58), u32(bytes, 62), l.has_alpha ? u32(bytes, 66) : 0};
    Channel* channels[4] = {&l.red, &l.green, &l.blue, &l.alpha};
    for (std::size_t i = 0; i < 4; ++i) {
      if ((l.bits == 16 && masks[i] > 0xFFFFu) || !make_channel(masks[i], *channels[i])) {
        return fail("BMP colour mask " + hex(masks[i]) + " is not usable with " + std::to_string(l.bits) +
                    "-bit pixels");
      }
    }
    l.has_alpha = l.has_alpha && masks[3] != 0;
  } else if (l.bits == 16) {  // 5-5-5, top bit unused
    l.red = {0x7C00, 10, 5};
    l.green = {0x03E0, 5, 5};
    l.blue = {0x001F, 0, 5};
  }

  if (l.bits <= 8) {
    // A colour count above what the depth can index is harmless: the extra entries are never used.
    const std::uint32_t full = 1u << l.bits;
    const std::uint32_t count = colours_used == 0 || colours_used > full ? full : colours_used;
    const std::size_t entry = core ? 3 : 4;
    if ((bytes.size() - palette_start) / entry < count) return fail("BMP palette is truncated");
    l.palette.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t p = palette_start + i * entry;
      l.palette.push_back(opaque(u8(bytes, p + 2), u8(bytes, p + 1), u8(bytes, p)));
    }
  }

  if (offset < kFileHeaderSize + header_size) {
    return fail("BMP pixel data offset " + std::to_string(offset) + " lies inside the headers");
  }
  if (offset >= bytes.size()) {
    return fail("BMP pixel data offset " + std::to_string(offset) + " is past the end of the file (" +
                std::to_string(bytes.size()) + " bytes)");
  }
  l.data_offset = offset;

  if (l.compression == kRle8 || l.compression == kRle4) return decode_rle(bytes, l);
  return decode_plain(bytes, l);
}

}  // namespace cirrodex
