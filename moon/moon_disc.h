#pragma once
// The moon control's shaded disc: the three sizes, the phase angle it shows,
// and the dark lines that turn the full-moon bitmap into the current phase.

#include <string_view>
#include <vector>

#include "moon/julian.h"

namespace cirrodex::moon {

enum MoonSize { ms64, ms32, ms16 };

// The picture's side, the centre pixel of the disc and its radius.
struct DiscGeometry {
  int size;
  int cx;
  int cy;
  int r;
};
DiscGeometry disc_geometry(MoonSize size);

// One pen line in black on row y, from x_from up to but excluding x_to
// (x_to may lie on either side of x_from).
struct DarkSpan {
  int y;
  int x_from;
  int x_to;
};

// The columns a span paints, left to right: begin <= x < end (empty when
// begin == end).
struct SpanColumns {
  int begin;
  int end;
};
SpanColumns span_columns(const DarkSpan& span);

// The lines that darken the unlit part at phase angle p (degrees, taken into
// 0..360; 0 full, 180 new, below 180 waxing): the left side while waxing, the
// right side while waning. Rows cy + e and cy - e for e = 0..r, the centre
// row once.
std::vector<DarkSpan> dark_spans(MoonSize size, Real p_degrees);

// The phase angle shown for an instant: the library's, taken into 0..360.
Real picture_angle(Instant t);

// The built-in PNG resources of a size: the full moon on black, and its
// black-and-white mask (white = the disc).
std::string_view picture_resource(MoonSize size);
std::string_view mask_resource(MoonSize size);

}  // namespace cirrodex::moon
