// Drawing the temperature icons: a fully opaque 32 x 32 square of the
// background colour, the text in its colour, starting at its x offset near
// the top and never cut at the right edge.
#include "conditions/icon_painter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <stdexcept>

#include "platform/text.h"

namespace cirrodex {
namespace {

const std::string kDeg(1, '\xB0');

IconPicture plan(IconKind kind, const std::string& reading, const std::string& colour) {
  IconPicture p;
  p.kind = kind;
  p.text = *icon_text(kind, reading);
  p.layout = icon_layout(p.text);
  p.colour = colour;
  p.text_colour = kind == IconKind::Temperature ? kClYellow : kClWhite;
  return p;
}

// Where the text's ink is: pixels that differ from the background.
struct Ink {
  int left = 99, right = -1, top = 99, bottom = -1;
  int full = 0;  // pixels of exactly the text colour
};

Ink ink_of(const QImage& image, QRgb background, QRgb text) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb px = image.pixel(x, y);
      if (px == background) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      if (px == text) ++ink.full;
    }
  return ink;
}

TEST(IconPainter, TextOnAnOpaqueSquare) {
  struct Case {
    IconKind kind;
    std::string reading;
    std::string colour;
    QRgb background;
  };
  const QRgb blue = qRgb(0, 0, 255), maroon = qRgb(128, 0, 0), navy = qRgb(0, 0, 128);
  const Case cases[] = {
      {IconKind::Temperature, "7" + kDeg + "F", "clBlue", blue},
      {IconKind::Temperature, "72" + kDeg + "F", "clBlue", blue},
      {IconKind::Temperature, "100" + kDeg + "F", "clBlue", blue},
      {IconKind::Temperature, "n/a", "clBlue", blue},
      {IconKind::Temperature, "-15" + kDeg + "F", "$00008000", qRgb(0, 128, 0)},
      {IconKind::HeatIndex, "105" + kDeg + "F", "clMaroon", maroon},
      {IconKind::HeatIndex, "88" + kDeg + "F", "#102030", qRgb(0x10, 0x20, 0x30)},
      {IconKind::WindChill, "-15" + kDeg + "F", "clNavy", navy},
      {IconKind::WindChill, "-100" + kDeg + "F", "clNavy", navy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reading + " on " + c.colour);
    const IconPicture p = plan(c.kind, c.reading, c.colour);
    const QImage image = icon_image(p);
    ASSERT_EQ(image.size(), QSize(32, 32));
    const QRgb text = c.kind == IconKind::Temperature ? qRgb(255, 255, 0) : qRgb(255, 255, 255);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << x << "," << y;
    // The background is all around; the text is drawn in its own colour.
    EXPECT_EQ(image.pixel(31, 31), c.background);
    EXPECT_EQ(image.pixel(0, 31), c.background);
    const Ink ink = ink_of(image, c.background, text);
    EXPECT_GT(ink.full, 8) << "solid text pixels";
    // From its x offset, below y = 2, inside the square with the degree sign whole.
    EXPECT_GE(ink.left, p.layout.x);
    EXPECT_LE(ink.left, p.layout.x + 4);
    EXPECT_GT(ink.top, p.layout.y);
    EXPECT_LE(ink.right, 31);
    EXPECT_GE(ink.right, 20) << "the text spans the square";
    // The size shows in the height of the digits: about 0.7 of the em.
    const double em = p.layout.size * 96.0 / 72.0;
    if (text::is_digit(p.text.text[0]) || p.text.text[0] == '-') {
      EXPECT_GE(ink.bottom - ink.top + 1, static_cast<int>(0.6 * em));
      EXPECT_LE(ink.bottom - ink.top + 1, static_cast<int>(0.85 * em) + 1);
    }
  }
}

TEST(IconPainter, TheSamePictureForTheTrayPort) {
  const IconPicture p = plan(IconKind::Temperature, "72" + kDeg + "F", "clBlue");
  const QImage image = icon_image(p);
  const TrayPicture picture = draw_icon_picture(p);
  ASSERT_EQ(picture.width, 32);
  ASSERT_EQ(picture.height, 32);
  ASSERT_FALSE(picture.empty());
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(picture.argb[static_cast<std::size_t>(y * 32 + x)], image.pixel(x, y)) << x << "," << y;
  // Different readings give different pictures.
  EXPECT_NE(draw_icon_picture(plan(IconKind::Temperature, "73" + kDeg + "F", "clBlue")), picture);
}

TEST(IconPainter, ABackgroundThatIsNoColourThrows) {
  EXPECT_THROW(icon_image(plan(IconKind::Temperature, "72", "purple-ish")), std::invalid_argument);
  EXPECT_THROW(icon_image(plan(IconKind::Temperature, "72", "")), std::invalid_argument);
  // "#RRGGBB" is the heat-index and wind-chill form only.
  EXPECT_THROW(icon_image(plan(IconKind::Temperature, "72", "#102030")), std::invalid_argument);
  EXPECT_NO_THROW(icon_image(plan(IconKind::WindChill, "72", "#102030")));
}

}  // namespace
}  // namespace cirrodex
