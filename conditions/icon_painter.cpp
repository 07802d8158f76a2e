#include "conditions/icon_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <stdexcept>

namespace cirrodex {

namespace {

QColor to_qcolor(ColourValue value) {
  const Rgb rgb = colour_rgb(value);
  return {rgb.r, rgb.g, rgb.b};
}

}  // namespace

QImage icon_image(const IconPicture& picture) {
  const auto background = icon_background(picture);
  if (!background) throw std::invalid_argument("no colour: " + picture.colour);
  QImage image(kIconPictureSize, kIconPictureSize, QImage::Format_ARGB32);
  image.fill(to_qcolor(*background));

  QFont font(QString::fromLatin1(kIconFamily));
  // Sizes are points at 96 dpi; in pixels the picture is the same on every screen.
  font.setPixelSize(static_cast<int>(std::lround(picture.layout.size * 96.0 / 72.0)));
  font.setStyleStrategy(QFont::PreferAntialias);
  // Stems snapped to whole pixels stay crisp when the panel shrinks the icon.
  font.setHintingPreference(QFont::PreferFullHinting);
  const QString text = QString::fromLatin1(picture.text.text.data(), static_cast<qsizetype>(picture.text.text.size()));
  const QFontMetricsF metrics(font);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(to_qcolor(picture.text_colour));
  // Three digits and the degree sign are wider in today's faces than the
  // square allows at their size: such a text is narrowed until its ink ends
  // a pixel inside the right edge, so the degree sign is never cut off.
  const double x = picture.layout.x;
  const double ink_right = x + metrics.tightBoundingRect(text).right();
  constexpr double kRightEdge = kIconPictureSize - 1;
  if (ink_right > kRightEdge) {
    painter.translate(x, 0);
    painter.scale((kRightEdge - x) / (ink_right - x), 1);
    painter.translate(-x, 0);
  }
  // y is the top of the text's cell, as the classic text call places it.
  painter.drawText(QPointF(x, picture.layout.y + metrics.ascent()), text);
  return image;
}

TrayPicture draw_icon_picture(const IconPicture& picture) {
  const QImage image = icon_image(picture);
  TrayPicture out{image.width(), image.height(), {}};
  out.argb.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    out.argb.insert(out.argb.end(), row, row + image.width());
  }
  return out;
}

}  // namespace cirrodex
