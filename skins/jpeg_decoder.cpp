// JPEG pictures through libjpeg. The library reports fatal errors by calling
// a function that must not return, so the decode runs under setjmp and the
// error handler longjmps back. Only trivially destructible objects live in
// the frame that calls setjmp and in the frames libjpeg calls back into;
// the picture itself belongs to the caller, and growing it happens in a
// separate noexcept helper so no exception ever crosses libjpeg.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "skins/picture.h"

namespace cirrodex {
namespace {

// Caps for damaged or hostile files: libjpeg's own buffers (a progressive
// picture keeps every coefficient) and the number of progressive scans,
// each of which walks the whole picture.
constexpr long kMaxLibraryMemory = 256L << 20;
constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings about corrupt data that still decodes are let through, except
// the end of the data: libjpeg would pad the rest of the picture with grey,
// and a damaged skin picture should fail with a reason instead.
void on_message(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) on_error(cinfo);
  ++cinfo->err->num_warnings;
}

void no_output(j_common_ptr /*cinfo*/) {}

void on_progress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxScans) return;
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "more than %d progressive scans", kMaxScans);
  std::longjmp(err->jump, 1);
}

// Everything libjpeg touches, created zeroed by the caller before setjmp.
struct Session {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  int components;  // kept for the message once the decoder is gone
};

enum class Outcome { kDone, kLibraryError, kTooLarge, kColourSpace, kNoMemory };

std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }

// Appends one decoded scanline to the picture; false when memory runs out.
bool append_row(Picture& out, const JSAMPLE* row, JDIMENSION width, bool cmyk, bool inverted) noexcept {
  try {
    for (JDIMENSION x = 0; x < width; ++x) {
      if (!cmyk) {
        const JSAMPLE* p = row + static_cast<std::size_t>(x) * 3;
        out.pixels.push_back(rgb(p[0], p[1], p[2]));
        continue;
      }
      // Adobe writers store CMYK inverted (255 is no ink), which makes the
      // conversion a plain product.
      const JSAMPLE* p = row + static_cast<std::size_t>(x) * 4;
      std::uint32_t ink[4] = {p[0], p[1], p[2], p[3]};
      if (!inverted) {
        for (auto& v : ink) v = 255 - v;
      }
      out.pixels.push_back(
          rgb((ink[0] * ink[3] + 127) / 255, (ink[1] * ink[3] + 127) / 255, (ink[2] * ink[3] + 127) / 255));
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

Outcome run(Session& s, std::string_view bytes, Picture& out) {
  s.cinfo.err = jpeg_std_error(&s.err.base);
  s.err.base.error_exit = on_error;
  s.err.base.emit_message = on_message;
  s.err.base.output_message = no_output;
  s.progress.progress_monitor = on_progress;
  if (setjmp(s.err.jump) != 0) {
    jpeg_destroy_decompress(&s.cinfo);
    return Outcome::kLibraryError;
  }
  jpeg_create_decompress(&s.cinfo);
  s.cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
  s.cinfo.progress = &s.progress;
  jpeg_mem_src(&s.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&s.cinfo, TRUE);

  const JDIMENSION width = s.cinfo.image_width;
  const JDIMENSION height = s.cinfo.image_height;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  if (width > kMaxPictureSide || height > kMaxPictureSide ||
      static_cast<std::int64_t>(width) * height > kMaxPicturePixels) {
    jpeg_destroy_decompress(&s.cinfo);
    return Outcome::kTooLarge;
  }

  bool cmyk = false;
  switch (s.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      s.cinfo.out_color_space = JCS_RGB;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      s.cinfo.out_color_space = JCS_CMYK;
      cmyk = true;
      break;
    default:
      s.components = s.cinfo.num_components;
      jpeg_destroy_decompress(&s.cinfo);
      return Outcome::kColourSpace;
  }
  const bool inverted = s.cinfo.saw_Adobe_marker != 0;
  s.components = s.cinfo.num_components;

  jpeg_start_decompress(&s.cinfo);
  if (s.cinfo.output_components != (cmyk ? 4 : 3) || s.cinfo.output_width != width || s.cinfo.output_height != height) {
    jpeg_destroy_decompress(&s.cinfo);
    return Outcome::kColourSpace;
  }
  // Rows are added as they decode, so a file that lies about its size fails
  // before the whole picture is allocated.
  JSAMPARRAY row = (*s.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s.cinfo), JPOOL_IMAGE,
                                                width * static_cast<JDIMENSION>(s.cinfo.output_components), 1);
  while (s.cinfo.output_scanline < height) {
    if (jpeg_read_scanlines(&s.cinfo, row, 1) != 1) {  // only a suspending source can return none
      std::snprintf(s.err.message, sizeof s.err.message, "%s", "decoder returned no scanline");
      jpeg_destroy_decompress(&s.cinfo);
      return Outcome::kLibraryError;
    }
    if (!append_row(out, row[0], width, cmyk, inverted)) {
      jpeg_destroy_decompress(&s.cinfo);
      return Outcome::kNoMemory;
    }
  }
  jpeg_finish_decompress(&s.cinfo);
  jpeg_destroy_decompress(&s.cinfo);
  return Outcome::kDone;
}

}  // namespace

PictureResult decode_jpeg(std::string_view bytes) {
  Picture picture;
  Session session{};
  switch (run(session, bytes, picture)) {
    case Outcome::kDone:
      return {std::move(picture), {}};
    case Outcome::kLibraryError:
      return {std::nullopt, "JPEG: " + std::string(session.err.message)};
    case Outcome::kTooLarge:
      return {std::nullopt,
              "JPEG size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + " is too large"};
    case Outcome::kColourSpace:
      return {std::nullopt, "unsupported JPEG colour space with " + std::to_string(session.components) + " components"};
    case Outcome::kNoMemory:
      break;
  }
  return {std::nullopt, "JPEG: out of memory"};
}

}  // namespace cirrodex
