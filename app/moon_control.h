#pragma once
// TMoon, the moon picture control: the full-moon bitmap of its size with the
// unlit part of the current phase painted black.

#include <QIcon>
#include <QImage>
#include <QWidget>

#include "moon/moon_disc.h"

namespace cirrodex {

// The built-in full-moon bitmap of a size (opaque RGB32) and its mask
// (Grayscale8, 255 on the disc); null images if the resource is missing.
QImage moon_bitmap(moon::MoonSize size);
QImage moon_mask(moon::MoonSize size);
// The bitmap with the dark lines of phase angle p painted in black.
QImage moon_phase_image(moon::MoonSize size, moon::Real p_degrees);
// The picture with the mask as its alpha (ARGB32).
QImage moon_icon_image(const QImage& picture, const QImage& mask);
// Now, as an instant in Universal Time.
moon::Instant current_instant();

class TMoon : public QWidget {
 public:
  explicit TMoon(QWidget* parent = nullptr, moon::MoonSize size = moon::ms64);

  void setMoonSize(moon::MoonSize size);
  moon::MoonSize moonSize() const { return size_; }
  void setDate(moon::Instant date);
  moon::Instant date() const { return date_; }
  const QImage& picture() const { return picture_; }
  QIcon icon() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void redraw();

  moon::MoonSize size_;
  moon::Instant date_;
  QImage picture_;
  QImage mask_;
};

}  // namespace cirrodex
