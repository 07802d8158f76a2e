#include "moon/moon_disc.h"

#include <cmath>

#include "moon/phases.h"

namespace cirrodex::moon {

DiscGeometry disc_geometry(MoonSize size) {
  switch (size) {
    case ms32:
      return {32, 15, 14, 14};
    case ms16:
      return {16, 7, 7, 7};
    case ms64:
      break;
  }
  return {64, 31, 28, 28};
}

SpanColumns span_columns(const DarkSpan& span) {
  if (span.x_from <= span.x_to) return {span.x_from, span.x_to};
  return {span.x_to + 1, span.x_from + 1};
}

namespace {

int round_to_int(Real x) { return static_cast<int>(round_even(x)); }

}  // namespace

std::vector<DarkSpan> dark_spans(MoonSize size, Real p_degrees) {
  const DiscGeometry g = disc_geometry(size);
  const Real p = normalized(p_degrees);
  const Real c = cosd(p);
  const bool waning = p >= 180;
  std::vector<DarkSpan> spans;
  spans.reserve(2 * static_cast<std::size_t>(g.r) + 1);
  for (int e = 0; e <= g.r; ++e) {
    const Real w = std::sqrt(static_cast<Real>(g.r * g.r - e * e));
    // Waning: from the terminator out past the right limb; waxing: mirrored
    // to the left.
    const int from = waning ? g.cx + round_to_int(c * w) : g.cx - round_to_int(c * w);
    const int to = waning ? g.cx + round_to_int(w) + 1 : g.cx - round_to_int(w) - 1;
    spans.push_back({g.cy + e, from, to});
    if (e != 0) spans.push_back({g.cy - e, from, to});
  }
  return spans;
}

Real picture_angle(Instant t) { return normalized(phase_angle(t)); }

std::string_view picture_resource(MoonSize size) {
  switch (size) {
    case ms32:
      return "MOON_SMALL";
    case ms16:
      return "MOON_TINY";
    case ms64:
      break;
  }
  return "MOON_LARGE";
}

std::string_view mask_resource(MoonSize size) {
  switch (size) {
    case ms32:
      return "MOON_BW_SMALL";
    case ms16:
      return "MOON_BW_TINY";
    case ms64:
      break;
  }
  return "MOON_BW_LARGE";
}

}  // namespace cirrodex::moon
