#pragma once
// Painting a skin's face with Qt's painter: the face, pressed and switch
// states, the hover picture, thumbs and the display slots. Used by the
// skinned window and by cirrodex-inspect's renderer.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <vector>

#include "skins/skin.h"

namespace cirrodex {

QImage to_qimage(const Picture& picture);

// The skin's pictures converted once per load.
struct SkinImages {
  QImage face, over, pressed, numbers, text;
  std::vector<QImage> thumbs, dragged;
  static SkinImages of(const Skin& skin);
};

struct PaintState {
  int hover = -1;        // hot area whose hover picture shows
  int dragged_bar = -1;  // track bar being dragged
};

void paint_skin(QPainter& painter, const Skin& skin, const SkinImages& images, const PaintState& state);

// The window region of the mask, added in batches of 2000 rectangles.
QRegion skin_region(const Picture& mask, ColourValue key, ColourValue tolerance);

// The typeface drawn for a skin's font name: the Windows names skins use map
// to metric-compatible families, so every machine draws the same.
QString mapped_family(const std::string& font_name);
QFont slot_font(const DisplaySlot& slot);

}  // namespace cirrodex
