#include "skins/skin_region.h"

#include <algorithm>

namespace cirrodex {

namespace {
bool within(unsigned value, unsigned key, unsigned tolerance) {
  return value >= key && value <= std::min(key + tolerance, 255u);
}
}  // namespace

bool is_key_pixel(std::uint32_t argb, Rgb key, Rgb tolerance) {
  return within((argb >> 16) & 0xFFu, key.r, tolerance.r) && within((argb >> 8) & 0xFFu, key.g, tolerance.g) &&
         within(argb & 0xFFu, key.b, tolerance.b);
}

std::vector<Rect> mask_rects(const Picture& mask, ColourValue key, ColourValue tolerance) {
  const Rgb k = colour_rgb(key);
  const Rgb t = colour_rgb(tolerance);
  std::vector<Rect> rects;
  for (int y = 0; y < mask.height; ++y) {
    int x = 0;
    while (x < mask.width) {
      while (x < mask.width && is_key_pixel(mask.at(x, y), k, t)) ++x;
      const int start = x;
      while (x < mask.width && !is_key_pixel(mask.at(x, y), k, t)) ++x;
      if (x > start) rects.push_back({start, y, x - start, 1});
    }
  }
  return rects;
}

}  // namespace cirrodex
