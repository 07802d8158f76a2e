// TMoon offscreen: the built-in bitmaps and masks, the phase images at the
// key angles against the bitmap, the control's size, date, picture, painting
// and icon.
#include <gtest/gtest.h>

#include <QPixmap>

#include "app/moon_control.h"
#include "moon/phases.h"

namespace cirrodex {
namespace {

using moon::DiscGeometry;
using moon::MoonSize;

constexpr MoonSize kSizes[] = {moon::ms64, moon::ms32, moon::ms16};

bool lit(const DiscGeometry& g, int x, int y) {
  const double dx = x - g.cx, dy = y - g.cy, limit = g.r - 0.5;
  return dx * dx + dy * dy < limit * limit;
}

TEST(MoonControl, BitmapsAndMasksLoadForEverySize) {
  for (MoonSize size : kSizes) {
    const DiscGeometry g = moon::disc_geometry(size);
    SCOPED_TRACE(g.size);
    const QImage bitmap = moon_bitmap(size);
    const QImage mask = moon_mask(size);
    ASSERT_EQ(bitmap.size(), QSize(g.size, g.size));
    ASSERT_EQ(mask.size(), QSize(g.size, g.size));
    for (int y = 0; y < g.size; ++y)
      for (int x = 0; x < g.size; ++x) {
        const bool on = lit(g, x, y);
        EXPECT_EQ(qGray(mask.pixel(x, y)), on ? 255 : 0) << x << "," << y;
        // Black off the disc, a grey surface on it.
        if (on)
          EXPECT_GT(qGray(bitmap.pixel(x, y)), 60) << x << "," << y;
        else
          EXPECT_EQ(bitmap.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
      }
  }
}

TEST(MoonControl, PhaseImagesAtTheKeyAngles) {
  const QRgb black = qRgb(0, 0, 0);
  for (MoonSize size : kSizes) {
    const DiscGeometry g = moon::disc_geometry(size);
    SCOPED_TRACE(g.size);
    const QImage bitmap = moon_bitmap(size);
    EXPECT_EQ(moon_phase_image(size, 0), bitmap);
    EXPECT_EQ(moon_phase_image(size, 360), bitmap);
    const QImage dark = moon_phase_image(size, 180);
    const QImage first = moon_phase_image(size, 90);
    const QImage last = moon_phase_image(size, 270);
    for (int y = 0; y < g.size; ++y)
      for (int x = 0; x < g.size; ++x) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(dark.pixel(x, y), black);
        EXPECT_EQ(first.pixel(x, y), x <= g.cx ? black : bitmap.pixel(x, y));
        EXPECT_EQ(last.pixel(x, y), x >= g.cx ? black : bitmap.pixel(x, y));
      }
  }
}

TEST(MoonControl, TakesTheSizeOfItsDisc) {
  TMoon control;
  EXPECT_EQ(control.moonSize(), moon::ms64);
  EXPECT_EQ(control.size(), QSize(64, 64));
  for (MoonSize size : {moon::ms16, moon::ms32, moon::ms64}) {
    const int side = moon::disc_geometry(size).size;
    control.setMoonSize(size);
    EXPECT_EQ(control.moonSize(), size);
    EXPECT_EQ(control.size(), QSize(side, side));
    EXPECT_EQ(control.minimumSize(), control.maximumSize());
    EXPECT_EQ(control.picture().size(), QSize(side, side));
    TMoon made(nullptr, size);
    EXPECT_EQ(made.size(), QSize(side, side));
  }
}

TEST(MoonControl, StartsAtNowAndFollowsItsDate) {
  const moon::Instant before = current_instant();
  TMoon control(nullptr, moon::ms32);
  const moon::Instant after = current_instant();
  EXPECT_GE(control.date(), before);
  EXPECT_LE(control.date(), after);
  // Now against the calendar: 2024 or later, before 2100.
  EXPECT_GT(control.date(), moon::make_instant(2024, 1, 1));
  EXPECT_LT(control.date(), moon::make_instant(2100, 1, 1));

  const moon::Instant new_moon = moon::next_phase(moon::PhaseKind::NewMoon, moon::make_instant(2024, 3, 1));
  const moon::Instant full_moon = moon::next_phase(moon::PhaseKind::FullMoon, new_moon);
  const DiscGeometry g = moon::disc_geometry(moon::ms32);
  const QImage bitmap = moon_bitmap(moon::ms32);
  // The lit limb pixels of the centre row.
  const QPoint left(g.cx - g.r + 1, g.cy), right(g.cx + g.r - 1, g.cy);
  struct Case {
    const char* what;
    moon::Instant t;
    bool left_dark, right_dark;
  };
  QImage previous;
  for (const Case& c :
       {Case{"full", full_moon, false, false}, Case{"new", new_moon, true, true},
        Case{"3 days after new", new_moon + 3, true, false}, Case{"3 days after full", full_moon + 3, false, true}}) {
    SCOPED_TRACE(c.what);
    control.setDate(c.t);
    EXPECT_EQ(control.date(), c.t);
    const QImage& pic = control.picture();
    EXPECT_NE(pic, previous);
    EXPECT_EQ(pic.pixel(left), c.left_dark ? qRgb(0, 0, 0) : bitmap.pixel(left));
    EXPECT_EQ(pic.pixel(right), c.right_dark ? qRgb(0, 0, 0) : bitmap.pixel(right));
    // What it paints is its picture.
    EXPECT_EQ(control.grab().toImage().convertToFormat(QImage::Format_RGB32), pic);
    previous = pic;
  }
}

TEST(MoonControl, IconIsThePictureWithTheMaskAsItsAlpha) {
  const moon::Instant waxing = moon::next_phase(moon::PhaseKind::NewMoon, moon::make_instant(2024, 3, 1)) + 5;
  for (MoonSize size : kSizes) {
    const DiscGeometry g = moon::disc_geometry(size);
    SCOPED_TRACE(g.size);
    TMoon control(nullptr, size);
    control.setDate(waxing);
    const QIcon icon = control.icon();
    ASSERT_FALSE(icon.isNull());
    const QImage img = icon.pixmap(QSize(g.size, g.size)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(g.size, g.size));
    const QImage mask = moon_mask(size);
    int opaque = 0;
    for (int y = 0; y < g.size; ++y)
      for (int x = 0; x < g.size; ++x) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const QRgb px = img.pixel(x, y);
        EXPECT_EQ(qAlpha(px), qGray(mask.pixel(x, y)));
        if (qAlpha(px) == 255) {
          ++opaque;
          EXPECT_EQ(qRgb(qRed(px), qGreen(px), qBlue(px)), control.picture().pixel(x, y));
        }
      }
    EXPECT_GT(opaque, g.r * g.r);
  }
}

}  // namespace
}  // namespace cirrodex
