#pragma once
// The window shape of a skin: every mask pixel that is not of the key colour.

#include <vector>

#include "platform/colour.h"
#include "skins/picture.h"

namespace cirrodex {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// A pixel is cut out when each of its red, green and blue values lies from
// the key colour's value up to that value plus the tolerance's (at most 255).
bool is_key_pixel(std::uint32_t argb, Rgb key, Rgb tolerance);

// One rectangle per run of kept pixels in each row, top to bottom.
std::vector<Rect> mask_rects(const Picture& mask, ColourValue key, ColourValue tolerance);

}  // namespace cirrodex
