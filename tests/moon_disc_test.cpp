// The moon control's disc: the three sizes, how a pen line's columns run, the
// dark lines at the key phase angles measured against the lit disc, and the
// angle of real instants from the library.
#include "moon/moon_disc.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "moon/phases.h"

namespace cirrodex::moon {
namespace {

using Pixel = std::pair<int, int>;  // x, y

constexpr MoonSize kSizes[] = {ms64, ms32, ms16};

// The pixels the bitmaps light: centres strictly within r - 0.5 of the centre.
bool lit(const DiscGeometry& g, int x, int y) {
  const double dx = x - g.cx, dy = y - g.cy, limit = g.r - 0.5;
  return dx * dx + dy * dy < limit * limit;
}

std::set<Pixel> painted(MoonSize size, Real p) {
  std::set<Pixel> out;
  for (const DarkSpan& s : dark_spans(size, p)) {
    const SpanColumns c = span_columns(s);
    for (int x = c.begin; x < c.end; ++x) out.insert({x, s.y});
  }
  return out;
}

TEST(MoonDisc, GeometryAndResourcesOfTheThreeSizes) {
  struct Case {
    MoonSize size;
    DiscGeometry g;
    const char* picture;
    const char* mask;
  };
  for (const Case& c : {Case{ms64, {64, 31, 28, 28}, "MOON_LARGE", "MOON_BW_LARGE"},
                        Case{ms32, {32, 15, 14, 14}, "MOON_SMALL", "MOON_BW_SMALL"},
                        Case{ms16, {16, 7, 7, 7}, "MOON_TINY", "MOON_BW_TINY"}}) {
    SCOPED_TRACE(c.picture);
    const DiscGeometry g = disc_geometry(c.size);
    EXPECT_EQ(g.size, c.g.size);
    EXPECT_EQ(g.cx, c.g.cx);
    EXPECT_EQ(g.cy, c.g.cy);
    EXPECT_EQ(g.r, c.g.r);
    EXPECT_EQ(picture_resource(c.size), c.picture);
    EXPECT_EQ(mask_resource(c.size), c.mask);
  }
}

TEST(MoonDisc, PenLineStopsBeforeItsEndInEitherDirection) {
  struct Case {
    DarkSpan span;
    int begin, end;
  };
  for (const Case& c : {Case{{3, 1, 14}, 1, 14}, Case{{3, 7, -1}, 0, 8}, Case{{0, 0, -1}, 0, 1},
                        Case{{0, 15, 16}, 15, 16}, Case{{5, 4, 4}, 4, 4}}) {
    SCOPED_TRACE(testing::Message() << c.span.x_from << " -> " << c.span.x_to);
    const SpanColumns got = span_columns(c.span);
    EXPECT_EQ(got.begin, c.begin);
    EXPECT_EQ(got.end, c.end);
  }
}

TEST(MoonDisc, SmallestDiscLinesByHand) {
  // Rows 7 +- 3 have w = sqrt 40 = 6.32, rows 0 and 14 w = 0. New moon takes
  // the waning form (P >= 180): from the terminator rightwards past the limb.
  struct Case {
    Real p;
    int y, x_from, x_to;
  };
  for (const Case& c : {Case{180, 7, 0, 15}, Case{180, 10, 1, 14}, Case{180, 4, 1, 14}, Case{180, 14, 7, 8},
                        Case{0, 7, 0, -1}, Case{0, 10, 1, 0}, Case{0, 0, 7, 6}, Case{90, 7, 7, -1}, Case{90, 4, 7, 0},
                        Case{270, 10, 7, 14}, Case{360, 7, 0, -1}}) {
    SCOPED_TRACE(testing::Message() << "P " << static_cast<double>(c.p) << " row " << c.y);
    const std::vector<DarkSpan> spans = dark_spans(ms16, c.p);
    ASSERT_EQ(spans.size(), 15u);  // rows 0..14, each once
    std::set<int> rows;
    for (const DarkSpan& s : spans) rows.insert(s.y);
    EXPECT_EQ(rows.size(), 15u);
    EXPECT_EQ(*rows.begin(), 0);
    EXPECT_EQ(*rows.rbegin(), 14);
    int found = 0;
    for (const DarkSpan& s : spans) {
      if (s.y != c.y) continue;
      ++found;
      EXPECT_EQ(s.x_from, c.x_from);
      EXPECT_EQ(s.x_to, c.x_to);
    }
    EXPECT_EQ(found, 1);
  }
}

TEST(MoonDisc, KeyAnglesDarkenTheRightPartOfTheLitDisc) {
  struct Case {
    Real p;
    const char* what;
    std::function<bool(const DiscGeometry&, int x)> dark;
  };
  const Case cases[] = {
      {180, "new: all", [](const DiscGeometry&, int) { return true; }},
      {0, "full: none", [](const DiscGeometry&, int) { return false; }},
      {360, "full again: none", [](const DiscGeometry&, int) { return false; }},
      {90, "first quarter: left half", [](const DiscGeometry& g, int x) { return x <= g.cx; }},
      {270, "last quarter: right half", [](const DiscGeometry& g, int x) { return x >= g.cx; }},
      {-90, "taken into 0..360 as 270", [](const DiscGeometry& g, int x) { return x >= g.cx; }},
  };
  for (MoonSize size : kSizes) {
    const DiscGeometry g = disc_geometry(size);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << g.size << " px, " << c.what);
      const std::set<Pixel> dark = painted(size, c.p);
      int lit_pixels = 0;
      for (int y = 0; y < g.size; ++y)
        for (int x = 0; x < g.size; ++x) {
          if (!lit(g, x, y)) continue;
          ++lit_pixels;
          EXPECT_EQ(dark.count({x, y}) == 1, c.dark(g, x)) << x << "," << y;
        }
      EXPECT_GT(lit_pixels, 3 * g.r * g.r - 6 * g.r);  // about pi (r - 1/2)^2
      // Whatever lies off the lit disc stays inside the picture.
      for (const Pixel& px : dark) {
        EXPECT_GE(px.first, 0);
        EXPECT_LT(px.first, g.size);
        EXPECT_GE(px.second, 0);
        EXPECT_LT(px.second, g.size);
      }
    }
  }
}

TEST(MoonDisc, WaningMirrorsWaxingAndTheDarkGrowsTowardsNewMoon) {
  for (MoonSize size : kSizes) {
    const DiscGeometry g = disc_geometry(size);
    // From full moon on (360 is full moon again, so no mirror of 0).
    std::size_t before = painted(size, 0).size();
    for (Real p : {10.0L, 45.0L, 89.0L, 91.0L, 135.0L, 170.0L, 179.0L}) {
      SCOPED_TRACE(testing::Message() << g.size << " px at " << static_cast<double>(p));
      const std::set<Pixel> waxing = painted(size, p);
      std::set<Pixel> mirrored;
      for (const Pixel& px : painted(size, 360 - p)) mirrored.insert({2 * g.cx - px.first, px.second});
      EXPECT_EQ(waxing, mirrored);
      // Waxing rows are dark from the left limb inwards.
      for (const Pixel& px : waxing) {
        if (lit(g, px.first - 1, px.second)) {
          EXPECT_TRUE(waxing.count({px.first - 1, px.second}));
        }
      }
      EXPECT_GE(waxing.size(), before);
      before = waxing.size();
    }
  }
}

TEST(MoonDisc, RealInstantsFromTheLibrary) {
  const Instant start = make_instant(2024, 3, 1);
  const Instant new_moon = next_phase(PhaseKind::NewMoon, start);
  const Instant full_moon = next_phase(PhaseKind::FullMoon, start);
  // The phase angle never quite reaches 0 or 180: the Moon's latitude.
  const Real at_new = picture_angle(new_moon);
  const Real at_full = picture_angle(full_moon);
  EXPECT_NEAR(static_cast<double>(at_new), 180.0, 6.0);
  EXPECT_TRUE(at_full < 6 || at_full > 354) << static_cast<double>(at_full);

  struct Case {
    const char* what;
    Instant t;
    bool waxing;
  };
  const DiscGeometry g = disc_geometry(ms64);
  for (const Case& c :
       {Case{"3 days after new", new_moon + 3, true}, Case{"10 days after new", new_moon + 10, true},
        Case{"3 days after full", full_moon + 3, false}, Case{"10 days after full", full_moon + 10, false}}) {
    SCOPED_TRACE(c.what);
    const Real p = picture_angle(c.t);
    EXPECT_GE(p, 0);
    EXPECT_LT(p, 360);
    EXPECT_EQ(p < 180, c.waxing) << static_cast<double>(p);
    const std::set<Pixel> dark = painted(ms64, p);
    const int left = g.cx - g.r + 1, right = g.cx + g.r - 1;  // the lit limb on the centre row
    EXPECT_EQ(dark.count({left, g.cy}) == 1, c.waxing);
    EXPECT_EQ(dark.count({right, g.cy}) == 1, !c.waxing);
  }
}

}  // namespace
}  // namespace cirrodex::moon
