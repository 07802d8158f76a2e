// The skin picture decoders: BMP files built byte by byte for each layout,
// damaged BMP files, JPEG pictures encoded here with libjpeg, and picture
// files loaded from a folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "skins/picture.h"

namespace cirrodex {
namespace {

using namespace std::string_literals;

// ---------------------------------------------------------------------------
// Building BMP files

// Little-endian bytes, appended in file order.
class Bytes {
 public:
  Bytes& u8(std::uint32_t v) {
    s_ += static_cast<char>(v & 0xFFu);
    return *this;
  }
  Bytes& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
  Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFFu).u16(v >> 16); }
  Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Bytes& raw(std::initializer_list<std::uint32_t> bytes) {
    for (auto b : bytes) u8(b);
    return *this;
  }
  Bytes& zeros(std::size_t n) {
    s_.append(n, '\0');
    return *this;
  }
  const std::string& str() const { return s_; }

 private:
  std::string s_;
};

using Masks = std::array<std::uint32_t, 4>;  // red, green, blue, alpha

// A BITMAPINFOHEADER, or a longer header of `size` bytes with the masks at bytes 40..55.
std::string info_header(std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t compression = 0,
                        std::uint32_t colours = 0, std::uint32_t size = 40, Masks masks = {}) {
  Bytes b;
  b.u32(size).i32(width).i32(height).u16(1).u16(bits).u32(compression).u32(0).u32(2835).u32(2835).u32(colours).u32(0);
  if (size >= 52) b.u32(masks[0]).u32(masks[1]).u32(masks[2]);
  if (size >= 56) b.u32(masks[3]);
  b.zeros(size - b.str().size());
  return b.str();
}

// The OS/2 BITMAPCOREHEADER.
std::string core_header(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
  return Bytes().u32(12).u16(width).u16(height).u16(1).u16(bits).str();
}

// The three masks that follow a 40-byte header for BI_BITFIELDS.
std::string masks_block(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return Bytes().u32(r).u32(g).u32(b).str();
}

// Palette entries from 0xRRGGBB colours: B, G, R and a reserved byte, or three bytes for the core header.
std::string palette(const std::vector<std::uint32_t>& colours, bool core = false) {
  Bytes b;
  for (auto c : colours) {
    b.u8(c).u8(c >> 8).u8(c >> 16);
    if (!core) b.u8(0xEE);  // the reserved byte is not alpha
  }
  return b.str();
}

// File header, then the rest, with the pixels right after the palette.
std::string bmp(std::string_view header, std::string_view colours, std::string_view pixels) {
  const auto offset = static_cast<std::uint32_t>(14 + header.size() + colours.size());
  Bytes b;
  b.raw({'B', 'M'}).u32(offset + static_cast<std::uint32_t>(pixels.size())).u32(0).u32(offset);
  return b.str() + std::string(header) + std::string(colours) + std::string(pixels);
}

std::string px(std::initializer_list<std::uint32_t> bytes) { return Bytes().raw(bytes).str(); }
std::string px16(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  for (auto v : values) b.u16(v);
  return b.str();
}
std::string px32(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  for (auto v : values) b.u32(v);
  return b.str();
}

constexpr std::uint32_t opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

const std::vector<std::uint32_t> kColours = {0x102030, 0xA0B0C0, 0x405060, 0xFFEEDD};
const std::uint32_t c0 = opaque(kColours[0]);
const std::uint32_t c1 = opaque(kColours[1]);
const std::uint32_t c2 = opaque(kColours[2]);
const std::uint32_t c3 = opaque(kColours[3]);

std::string hex_pixels(const std::vector<std::uint32_t>& pixels) {
  std::string out;
  char buf[16];
  for (auto p : pixels) {
    std::snprintf(buf, sizeof buf, "%08X ", p);
    out += buf;
  }
  return out;
}

// 256 distinct colours, for the palette of an 8-bit picture without a colour count.
std::uint32_t ramp(std::uint32_t i) { return i << 16 | (255 - i) << 8 | 0x40; }
std::vector<std::uint32_t> full_ramp() {
  std::vector<std::uint32_t> out;
  for (std::uint32_t i = 0; i < 256; ++i) out.push_back(ramp(i));
  return out;
}

// 4 x 2, 8 bits, two colours, rows without padding: every byte matters.
std::string small_8bit() {
  return bmp(info_header(4, 2, 8, 0, 2), palette({kColours[0], kColours[1]}),
             px({0, 1, 1, 0, /* top row */ 1, 0, 0, 1}));
}

// RLE8, 4 x 3: an encoded run, a jump over the rest of the row and one line
// up, an end of line, a literal run of odd length (padded), a run clipped at
// the right edge, and the end of the picture. Unreached pixels keep colour 0.
std::string rle8_picture() {
  return bmp(info_header(4, 3, 8, 1, 4), palette(kColours),
             px({2,           1, /* jump */ 0,    2, 1, 1, 1, 2, /* eol */ 0, 0, /* literal */ 0, 3, 3, 2,
                 1,           0, /* clipped */ 3, 1,
                 /* end */ 0, 1}));
}

// RLE4, 5 x 3: an alternating run, a literal run of 5 (3 bytes and a pad),
// a jump, and a run of two colours.
std::string rle4_picture() {
  return bmp(info_header(5, 3, 4, 2, 4), palette(kColours),
             px({5,           0x12, 0, 0, /* literal */ 0, 5, 0x32, 0x10, 0x30, 0, 0, 0, /* jump */ 0, 2, 3, 0, 2, 0x21,
                 /* end */ 0, 1}));
}

// 24 bits, 3 x 2: each row carries three bytes of padding (filled with junk).
std::string padded_24bit() {
  return bmp(info_header(3, 2, 24), "",
             px({0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0xAB, 0xAB, 0xAB,  // bottom row
                 0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0x03, 0x02, 0x01, 0xAB, 0xAB, 0xAB}));
}

// OS/2 core header, 4 bits: 16 three-byte palette entries.
std::string core_4bit() {
  std::vector<std::uint32_t> colours = kColours;
  colours.resize(16, 0);
  return bmp(core_header(3, 2, 4), palette(colours, true), px({0x01, 0x20, 0, 0, /* top row */ 0x21, 0x00, 0, 0}));
}

struct BmpCase {
  const char* name;
  std::string file;
  int width;
  int height;
  std::vector<std::uint32_t> pixels;  // top row first
};

TEST(BmpDecoder, DecodesEachLayout) {
  const BmpCase cases[] = {
      {"1 bit, width 3, unused bits and padding set",
       bmp(info_header(3, 2, 1, 0, 2), palette({kColours[0], kColours[1]}),
           px({0xBF, 0xFF, 0xFF, 0xFF, /* top */ 0x7F, 0, 0, 0})),
       3,
       2,
       {c0, c1, c1, c1, c0, c1}},
      {"4 bits, three colours, unused nibble",
       bmp(info_header(3, 1, 4, 0, 3), palette({kColours[0], kColours[1], kColours[2]}), px({0x12, 0x0F, 0, 0})),
       3,
       1,
       {c1, c2, c0}},
      {"8 bits, 256 colours when the count is 0",
       bmp(info_header(3, 1, 8), palette(full_ramp()), px({0, 5, 255, 7})),
       3,
       1,
       {opaque(ramp(0)), opaque(ramp(5)), opaque(ramp(255))}},
      {"8 bits", small_8bit(), 4, 2, {c1, c0, c0, c1, c0, c1, c1, c0}},
      {"16 bits 5-5-5, top bit ignored",
       bmp(info_header(4, 1, 16), "", px16({0x7C00, 0x83E0, 0x001F, 0x4210})),
       4,
       1,
       {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484}},
      {"16 bits 5-6-5 bit fields",
       bmp(info_header(3, 1, 16, 3) + masks_block(0xF800, 0x07E0, 0x001F), "", px16({0xF800, 0x07E0, 0x041F, 0})),
       3,
       1,
       {0xFFFF0000, 0xFF00FF00, 0xFF0082FF}},
      {"24 bits, width 3, bottom-up",
       padded_24bit(),
       3,
       2,
       {0xFFAABBCC, 0xFFDDEEFF, 0xFF010203, 0xFF112233, 0xFF445566, 0xFF778899}},
      {"24 bits top-down",
       bmp(info_header(2, -2, 24), "",
           px({0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0, 0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0})),
       2,
       2,
       {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC}},
      {"32 bits plain: the fourth byte is not alpha",
       bmp(info_header(2, 1, 32), "", px32({0x00112233, 0x7F445566})),
       2,
       1,
       {0xFF112233, 0xFF445566}},
      {"32 bits, V5 header, bit fields in RGBA order with alpha",
       bmp(info_header(2, 1, 32, 3, 0, 124, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}), "",
           px32({0x80332211, 0x00FFFFFF})),
       2,
       1,
       {0x80112233, 0x00FFFFFF}},
      {"32 bits, 40-byte header with bit fields: opaque",
       bmp(info_header(1, 1, 32, 3) + masks_block(0xFF000000, 0x00FF0000, 0x0000FF00), "", px32({0x11223344})),
       1,
       1,
       {0xFF112233}},
      {"V4 header, palette after 108 bytes",
       bmp(info_header(2, 1, 8, 0, 2, 108), palette({kColours[0], kColours[1]}), px({1, 0, 0, 0})),
       2,
       1,
       {c1, c0}},
      {"core header, 4 bits, 3-byte palette", core_4bit(), 3, 2, {c2, c1, c0, c0, c1, c2}},
      {"RLE8 with jump, literal run and clipping",
       rle8_picture(),
       4,
       3,
       {c3, c2, c1, c1, /* middle */ c0, c0, c0, c2, /* bottom */ c1, c1, c0, c0}},
      {"RLE4 with literal run and jump",
       rle4_picture(),
       5,
       3,
       {c0, c0, c0, c2, c1, /* middle */ c3, c2, c1, c0, c3, /* bottom */ c1, c2, c1, c2, c1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PictureResult r = decode_bmp(c.file);
    ASSERT_TRUE(r.picture) << r.error;
    EXPECT_EQ(r.picture->width, c.width);
    EXPECT_EQ(r.picture->height, c.height);
    EXPECT_EQ(hex_pixels(r.picture->pixels), hex_pixels(c.pixels));
  }
}

// A copy of file with the 32-bit field at `at` replaced.
std::string patched(std::string file, std::size_t at, std::uint32_t value) {
  const std::string v = Bytes().u32(value).str();
  file.replace(at, 4, v);
  return file;
}

TEST(BmpDecoder, RejectsDamagedAndUnsupportedFiles) {
  const std::string good = small_8bit();
  const std::string two = palette({kColours[0], kColours[1]});
  const struct {
    const char* name;
    std::string file;
    const char* error;  // part of the message
  } cases[] = {
      {"empty", "", "not a BMP file"},
      {"other format", "GIF89a\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"s, "not a BMP file"},
      {"unknown header size", patched(good, 14, 64), "header size 64"},
      {"bit depth 7", bmp(info_header(4, 1, 7), "", px({0, 0, 0, 0})), "bit depth 7"},
      {"bit depth 0", bmp(info_header(4, 1, 0), "", px({0, 0, 0, 0})), "bit depth 0"},
      {"bit depth 16 in a core header", bmp(core_header(2, 1, 16), "", px({0, 0, 0, 0})), "bit depth 16"},
      {"JPEG inside", bmp(info_header(4, 1, 24, 4), "", px({0xFF, 0xD8, 0xFF, 0xD9})), "compression 4"},
      {"PNG inside", bmp(info_header(4, 1, 24, 5), "", px({0x89, 'P', 'N', 'G'})), "compression 5"},
      {"RLE8 with 4 bits", bmp(info_header(4, 1, 4, 1, 2), two, px({0, 1})), "compression 1 with 4 bits"},
      {"RLE4 with 8 bits", bmp(info_header(4, 1, 8, 2, 2), two, px({0, 1})), "compression 2 with 8 bits"},
      {"bit fields with 24 bits",
       bmp(info_header(1, 1, 24, 3) + masks_block(0xFF, 0xFF00, 0xFF0000), "", px({0, 0, 0, 0})),
       "compression 3 with 24 bits"},
      {"unknown compression", bmp(info_header(1, 1, 24, 9), "", px({0, 0, 0, 0})), "compression 9"},
      {"zero width", bmp(info_header(0, 1, 24), "", px({0, 0, 0, 0})), "invalid size"},
      {"zero height", bmp(info_header(1, 0, 24), "", px({0, 0, 0, 0})), "invalid size"},
      {"negative width", bmp(info_header(-1, 1, 24), "", px({0, 0, 0, 0})), "invalid size"},
      {"too wide", bmp(info_header(16385, 1, 24), "", px({0, 0, 0, 0})), "too large"},
      {"too tall top-down", bmp(info_header(1, -16385, 24), "", px({0, 0, 0, 0})), "too large"},
      {"most negative height", bmp(info_header(1, INT32_MIN, 24), "", px({0, 0, 0, 0})), "too large"},
      {"large size, little data", bmp(info_header(10000, 10000, 24), "", px({0, 0, 0, 0})), "truncated"},
      {"RLE runs out before the last row", bmp(info_header(2, 2, 8, 1, 2), two, px({2, 1, 0, 0})), "truncated"},
      {"pixel offset past the end", patched(good, 10, static_cast<std::uint32_t>(good.size()) + 10), "past the end"},
      {"pixel offset inside the headers", patched(good, 10, 20), "inside the headers"},
      {"palette shorter than 2^bits", bmp(info_header(1, 1, 8), two, ""), "palette is truncated"},
      {"masks missing", bmp(info_header(1, 1, 16, 3), "", ""), "truncated in its headers"},
      {"mask with a gap", bmp(info_header(1, 1, 16, 3) + masks_block(0xF00F, 0x00F0, 0x0F00), "", px({0, 0, 0, 0})),
       "mask 0x0000F00F"},
      {"16-bit mask wider than the pixel",
       bmp(info_header(1, 1, 16, 3) + masks_block(0x1F0000, 0x07E0, 0x001F), "", px({0, 0, 0, 0})), "mask 0x001F0000"},
      {"palette index past the palette", bmp(info_header(4, 1, 8, 0, 2), two, px({0, 1, 2, 0})), "colour 2"},
      {"RLE8 index past the palette", bmp(info_header(4, 1, 8, 1, 2), two, px({3, 5, 0, 1})), "colour 5"},
      {"RLE4 literal index past the palette", bmp(info_header(4, 1, 4, 2, 2), two, px({0, 4, 0x01, 0x31, 0, 1})),
       "colour 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PictureResult r = decode_bmp(c.file);
    EXPECT_FALSE(r.picture);
    EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
  }
}

TEST(BmpDecoder, EveryTruncationFails) {
  const struct {
    const char* name;
    std::string file;
  } files[] = {
      {"8 bits", small_8bit()},
      {"RLE8", rle8_picture()},
      {"RLE4", rle4_picture()},
      {"core header", core_4bit().substr(0, core_4bit().size() - 2)},  // its last row's padding is optional
  };
  for (const auto& f : files) {
    ASSERT_TRUE(decode_bmp(f.file).picture) << f.name;
    for (std::size_t n = 0; n < f.file.size(); ++n) {
      const PictureResult r = decode_bmp(std::string_view(f.file).substr(0, n));
      EXPECT_FALSE(r.picture) << f.name << " cut to " << n;
      EXPECT_FALSE(r.error.empty()) << f.name << " cut to " << n;
    }
  }
}

// Some writers stop after the last pixel; the padding of the final row is all that may be missing.
TEST(BmpDecoder, LastRowMayLackItsPadding) {
  const std::string file = padded_24bit();
  const PictureResult whole = decode_bmp(file);
  const PictureResult cut = decode_bmp(std::string_view(file).substr(0, file.size() - 3));
  ASSERT_TRUE(whole.picture);
  ASSERT_TRUE(cut.picture) << cut.error;
  EXPECT_EQ(cut.picture->pixels, whole.picture->pixels);
  EXPECT_FALSE(decode_bmp(std::string_view(file).substr(0, file.size() - 4)).picture);
}

// ---------------------------------------------------------------------------
// JPEG

// A JPEG of the given samples at quality 100 without chroma subsampling.
std::string encode_jpeg(int width, int height, J_COLOR_SPACE space, const std::vector<unsigned char>& samples,
                        bool adobe_marker = true, bool progressive = false) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  for (int i = 0; i < c.num_components; ++i) {
    c.comp_info[i].h_samp_factor = 1;
    c.comp_info[i].v_samp_factor = 1;
  }
  if (!adobe_marker) c.write_Adobe_marker = FALSE;
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  const auto stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(c.input_components);
  std::vector<unsigned char> row(stride);
  while (c.next_scanline < c.image_height) {
    const auto* from = samples.data() + c.next_scanline * stride;
    std::copy(from, from + stride, row.begin());
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return bytes;
}

unsigned char gradient(int x, int y, int channel) {
  switch (channel) {
    case 0:
      return static_cast<unsigned char>(x * 15);
    case 1:
      return static_cast<unsigned char>(y * 15);
    default:
      return static_cast<unsigned char>(240 - x * 6 - y * 8);
  }
}

constexpr int kSide = 16;

std::string rgb_jpeg(bool progressive = false) {
  std::vector<unsigned char> samples;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      for (int ch = 0; ch < 3; ++ch) samples.push_back(gradient(x, y, ch));
    }
  }
  return encode_jpeg(kSide, kSide, JCS_RGB, samples, true, progressive);
}

// The JPEG with the size in its frame header (the first `marker`) replaced.
std::string with_frame_size(std::string jpeg, std::string_view marker, int width, int height) {
  const std::size_t sof = jpeg.find(marker);
  if (sof == std::string::npos) return {};
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

int channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFFu); }

TEST(JpegDecoder, DecodesColourPictureCloseToTheOriginal) {
  const PictureResult r = decode_jpeg(rgb_jpeg());
  ASSERT_TRUE(r.picture) << r.error;
  ASSERT_EQ(r.picture->width, kSide);
  ASSERT_EQ(r.picture->height, kSide);
  ASSERT_EQ(r.picture->pixels.size(), static_cast<std::size_t>(kSide * kSide));
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t p = r.picture->at(x, y);
      EXPECT_EQ(channel(p, 24), 255);
      EXPECT_NEAR(channel(p, 16), gradient(x, y, 0), 4) << x << "," << y;
      EXPECT_NEAR(channel(p, 8), gradient(x, y, 1), 4) << x << "," << y;
      EXPECT_NEAR(channel(p, 0), gradient(x, y, 2), 4) << x << "," << y;
    }
  }
}

TEST(JpegDecoder, GreyPictureBecomesEqualChannels) {
  std::vector<unsigned char> samples;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) samples.push_back(static_cast<unsigned char>((x + y) * 8));
  }
  const PictureResult r = decode_jpeg(encode_jpeg(kSide, kSide, JCS_GRAYSCALE, samples));
  ASSERT_TRUE(r.picture) << r.error;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t p = r.picture->at(x, y);
      EXPECT_EQ(channel(p, 24), 255);
      EXPECT_EQ(channel(p, 16), channel(p, 0));
      EXPECT_EQ(channel(p, 8), channel(p, 0));
      EXPECT_NEAR(channel(p, 0), (x + y) * 8, 3) << x << "," << y;
    }
  }
}

// Two flat 8 x 8 blocks of ink: orange and half grey. Adobe files store the
// ink inverted (255 = none); files without the marker store it plainly.
TEST(JpegDecoder, ConvertsCmykWithAndWithoutAdobeInversion) {
  const struct {
    bool adobe;
    std::array<unsigned char, 4> left, right;
  } cases[] = {
      {true, {255, 128, 0, 255}, {255, 255, 255, 128}},
      {false, {0, 127, 255, 0}, {0, 0, 0, 127}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.adobe ? "Adobe" : "plain");
    std::vector<unsigned char> samples;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 16; ++x) {
        const auto& ink = x < 8 ? c.left : c.right;
        samples.insert(samples.end(), ink.begin(), ink.end());
      }
    }
    const PictureResult r = decode_jpeg(encode_jpeg(16, 8, JCS_CMYK, samples, c.adobe));
    ASSERT_TRUE(r.picture) << r.error;
    const std::uint32_t left = r.picture->at(3, 4);
    const std::uint32_t right = r.picture->at(12, 4);
    EXPECT_NEAR(channel(left, 16), 255, 2);
    EXPECT_NEAR(channel(left, 8), 128, 2);
    EXPECT_NEAR(channel(left, 0), 0, 2);
    for (int shift : {16, 8, 0}) EXPECT_NEAR(channel(right, shift), 128, 2);
  }
}

// Junk before a marker is only a warning: the picture still decodes, unchanged.
TEST(JpegDecoder, CorruptButDecodableDataIsAccepted) {
  const std::string clean = rgb_jpeg();
  std::string noisy = clean;
  const std::size_t sos = noisy.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  noisy.insert(sos, "\x12\x34\x56");
  const PictureResult a = decode_jpeg(clean);
  const PictureResult b = decode_jpeg(noisy);
  ASSERT_TRUE(a.picture);
  ASSERT_TRUE(b.picture) << b.error;
  EXPECT_EQ(b.picture->pixels, a.picture->pixels);
}

TEST(JpegDecoder, DamagedDataFailsWithAReason) {
  const std::string good = rgb_jpeg();
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"empty", "", "JPEG: "},
      {"garbage", "hello, world", "JPEG: Not a JPEG file"},
      {"only the start marker", good.substr(0, 2), "JPEG: "},
      {"cut in the headers", good.substr(0, 100), "JPEG: "},
      {"cut in the picture data", good.substr(0, good.size() / 2), "JPEG: Premature end of JPEG file"},
      {"end marker missing", good.substr(0, good.size() - 2), "JPEG: Premature end of JPEG file"},
      {"wider than the limit", with_frame_size(good, "\xFF\xC0", 20000, kSide), "JPEG size 20000x16 is too large"},
      // Within the limits, but every coefficient of a progressive picture is
      // kept: libjpeg is refused the memory instead of allocating gigabytes.
      {"progressive, claims 16000 x 16000", with_frame_size(rgb_jpeg(true), "\xFF\xC2", 16000, 16000),
       "JPEG: Backing store not supported"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PictureResult r = decode_jpeg(c.bytes);
    EXPECT_FALSE(r.picture);
    EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
  }
}

// ---------------------------------------------------------------------------
// Picture files

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("TMPDIR");
    std::string name = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/cirrodex-pictures-XXXXXX";
    ASSERT_NE(::mkdtemp(name.data()), nullptr) << std::strerror(errno);
    dir_ = name;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string write(const std::string& name, std::string_view bytes) {
    std::string path = dir_ + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::string dir_;
};

TEST_F(PictureFiles, ChoosesTheDecoderByExtensionThenByContent) {
  const std::string bmp_bytes = small_8bit();  // 4 x 2
  const std::string jpeg_bytes = rgb_jpeg();   // 16 x 16
  const struct {
    const char* name;
    const std::string& bytes;
    int width;
  } cases[] = {
      {"face.BMP", bmp_bytes, 4},      {"face.dib", bmp_bytes, 4},     {"sky.JPG", jpeg_bytes, kSide},
      {"sky.jpeg", jpeg_bytes, kSide}, {"sky.Jpe", jpeg_bytes, kSide}, {"face", bmp_bytes, 4},
      {"sky.png", jpeg_bytes, kSide},  {"skin.d/face", bmp_bytes, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PictureResult r = load_picture_file(write(c.name, c.bytes));
    ASSERT_TRUE(r.picture) << r.error;
    EXPECT_EQ(r.picture->width, c.width);
  }
}

TEST_F(PictureFiles, ErrorsNameTheFile) {
  const std::string missing = dir_ + "/missing.bmp";
  EXPECT_EQ(load_picture_file(missing).error, "cannot read " + missing + ": No such file or directory");

  const std::string folder = dir_ + "/folder.bmp";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  EXPECT_EQ(load_picture_file(folder).error, "cannot read " + folder + ": Is a directory");

  const std::string text = write("notes.txt", "not a picture");
  EXPECT_EQ(load_picture_file(text).error, text + ": not a BMP or JPEG picture");

  // The extension wins over the content.
  const std::string misnamed = write("face.jpg", small_8bit());
  const PictureResult r = load_picture_file(misnamed);
  EXPECT_FALSE(r.picture);
  EXPECT_EQ(r.error.rfind(misnamed + ": JPEG: Not a JPEG file", 0), 0u) << r.error;

  const std::string cut = write("cut.bmp", small_8bit().substr(0, 60));
  EXPECT_EQ(load_picture_file(cut).error.rfind(cut + ": BMP", 0), 0u) << load_picture_file(cut).error;
}

}  // namespace
}  // namespace cirrodex
