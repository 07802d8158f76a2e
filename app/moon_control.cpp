#include "app/moon_control.h"

#include <QDateTime>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "resources/builtin.h"

namespace cirrodex {

namespace {

QImage load_png(std::string_view name, QImage::Format format) {
  const auto bytes = builtin_resource(name, "PNG");
  if (!bytes) return {};
  QImage img;
  if (!img.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<int>(bytes->size()), "PNG"))
    return {};
  return img.convertToFormat(format);
}

// The days from 30 December 1899 to 1 January 1970.
constexpr moon::Real kUnixEpochInstant = 25569.0L;
constexpr moon::Real kMsPerDay = 86400000.0L;

}  // namespace

QImage moon_bitmap(moon::MoonSize size) { return load_png(moon::picture_resource(size), QImage::Format_RGB32); }

QImage moon_mask(moon::MoonSize size) { return load_png(moon::mask_resource(size), QImage::Format_Grayscale8); }

QImage moon_phase_image(moon::MoonSize size, moon::Real p_degrees) {
  const moon::DiscGeometry g = moon::disc_geometry(size);
  QImage img = moon_bitmap(size);
  // Without its bitmap the control still shows a disc-sized black square.
  if (img.isNull() || img.width() != g.size || img.height() != g.size) {
    img = QImage(g.size, g.size, QImage::Format_RGB32);
    img.fill(Qt::black);
  }
  const QRgb black = qRgb(0, 0, 0);
  for (const moon::DarkSpan& s : moon::dark_spans(size, p_degrees)) {
    if (s.y < 0 || s.y >= img.height()) continue;
    const moon::SpanColumns c = moon::span_columns(s);
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(s.y));
    for (int x = std::max(c.begin, 0); x < std::min(c.end, img.width()); ++x) row[x] = black;
  }
  return img;
}

QImage moon_icon_image(const QImage& picture, const QImage& mask) {
  QImage out = picture.convertToFormat(QImage::Format_ARGB32);
  const QImage alpha = mask.convertToFormat(QImage::Format_Grayscale8);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    const uchar* a = y < alpha.height() ? alpha.constScanLine(y) : nullptr;
    for (int x = 0; x < out.width(); ++x) {
      const int value = a && x < alpha.width() ? a[x] : 0;
      row[x] = qRgba(qRed(row[x]), qGreen(row[x]), qBlue(row[x]), value);
    }
  }
  return out;
}

moon::Instant current_instant() {
  return kUnixEpochInstant + static_cast<moon::Real>(QDateTime::currentMSecsSinceEpoch()) / kMsPerDay;
}

TMoon::TMoon(QWidget* parent, moon::MoonSize size) : QWidget(parent), size_(size), date_(current_instant()) {
  setMoonSize(size);
}

void TMoon::setMoonSize(moon::MoonSize size) {
  size_ = size;
  const int side = moon::disc_geometry(size).size;
  setFixedSize(side, side);
  mask_ = moon_mask(size);
  redraw();
}

void TMoon::setDate(moon::Instant date) {
  date_ = date;
  redraw();
}

QIcon TMoon::icon() const { return QIcon(QPixmap::fromImage(moon_icon_image(picture_, mask_))); }

void TMoon::redraw() {
  picture_ = moon_phase_image(size_, moon::picture_angle(date_));
  update();
}

void TMoon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

}  // namespace cirrodex
