#include "skins/skin_painter.h"

#include <cmath>

#include "platform/text.h"
#include "skins/skin_control.h"
#include "skins/skin_region.h"

namespace cirrodex {

QImage to_qimage(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < picture.width; ++x) line[x] = picture.at(x, y);
  }
  return image;
}

SkinImages SkinImages::of(const Skin& skin) {
  SkinImages i;
  i.face = to_qimage(skin.face);
  i.over = to_qimage(skin.over);
  i.pressed = to_qimage(skin.pressed);
  i.numbers = to_qimage(skin.numbers);
  i.text = to_qimage(skin.text);
  for (const TrackBar& b : skin.track_bars) {
    i.thumbs.push_back(to_qimage(b.thumb));
    i.dragged.push_back(to_qimage(b.dragged));
  }
  return i;
}

QString mapped_family(const std::string& font_name) {
  struct Mapping {
    const char* windows;
    const char* linux_family;
  };
  // Liberation Sans has Arial's metrics. MS Sans Serif is a bitmap face
  // whose letters are narrower than Arial's at the same size: Liberation Sans
  // Narrow keeps its texts within the widths skins were drawn for (a long
  // wind text stops short of the heat index beside it).
  static constexpr Mapping kMap[] = {
      {"Arial", "Liberation Sans"},
      {"MS Sans Serif", "Liberation Sans Narrow"},
      {"Microsoft Sans Serif", "Liberation Sans"},
      {"Tahoma", "DejaVu Sans"},
      {"Verdana", "DejaVu Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Courier", "Liberation Mono"},
  };
  for (const auto& m : kMap)
    if (text::iequals(font_name, m.windows)) return QString::fromLatin1(m.linux_family);
  return QString::fromLatin1(font_name.data(), static_cast<qsizetype>(font_name.size()));
}

QFont slot_font(const DisplaySlot& slot) {
  QFont font(mapped_family(slot.font_name));
  // Skins give sizes in points at the 96 dpi they were drawn for; pixels keep
  // the layout whatever the screen's dpi.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(slot.size * 96.0 / 72.0))));
  font.setBold(slot.bold);
  font.setItalic(slot.italic);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

namespace {

QRect rect_of(const HotArea& a) { return QRect(a.left, a.top, a.width, a.height); }

void draw_glyphs(QPainter& painter, const DisplaySlot& slot, const QImage& sheet, bool numbers) {
  if (sheet.isNull()) return;
  const int cell_w = sheet.width() / (numbers ? 11 : 31);
  const int cell_h = numbers ? sheet.height() : sheet.height() / 3;
  if (cell_w <= 0 || cell_h <= 0) return;
  for (std::size_t i = 0; i < slot.text.size(); ++i) {
    const char c = slot.text[i];
    int row = 0;
    int column = 0;
    if (numbers) {
      column = number_cell(c);
    } else {
      const TextCell cell = text_cell(c);
      row = cell.row;
      column = cell.column;
    }
    painter.drawImage(QPoint(slot.left + static_cast<int>(i) * cell_w, slot.top), sheet,
                      QRect(column * cell_w, row * cell_h, cell_w, cell_h));
  }
}

}  // namespace

void paint_skin(QPainter& painter, const Skin& skin, const SkinImages& images, const PaintState& state) {
  painter.drawImage(QPoint(0, 0), images.face);
  for (const HotArea& a : skin.hot_areas)
    if ((a.is_switch && a.down) || a.pressed) painter.drawImage(rect_of(a).topLeft(), images.pressed, rect_of(a));
  if (skin.hover && state.hover >= 0 && state.hover < static_cast<int>(skin.hot_areas.size())) {
    const QRect r = rect_of(skin.hot_areas[static_cast<std::size_t>(state.hover)]);
    painter.drawImage(r.topLeft(), images.over, r);
  }
  for (std::size_t i = 0; i < skin.track_bars.size(); ++i) {
    const TrackBar& b = skin.track_bars[i];
    const QImage& thumb = static_cast<int>(i) == state.dragged_bar ? images.dragged[i] : images.thumbs[i];
    const QPoint at = b.horizontal ? QPoint(b.left + b.offset, b.top) : QPoint(b.left, b.top + b.offset);
    painter.drawImage(at, thumb);
  }
  for (const DisplaySlot& slot : skin.displays) {
    if (slot.style == "Number") {
      draw_glyphs(painter, slot, images.numbers, true);
    } else if (slot.style == "Text") {
      draw_glyphs(painter, slot, images.text, false);
    } else if (!slot.text.empty()) {
      const Rgb rgb = colour_rgb(slot.colour);
      painter.setPen(QColor(rgb.r, rgb.g, rgb.b));
      painter.setFont(slot_font(slot));
      painter.drawText(QRect(slot.left, slot.top, 4096, 512), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       QString::fromLatin1(slot.text.data(), static_cast<qsizetype>(slot.text.size())));
    }
  }
}

QRegion skin_region(const Picture& mask, ColourValue key, ColourValue tolerance) {
  const std::vector<Rect> rects = mask_rects(mask, key, tolerance);
  QRegion region;
  constexpr std::size_t kBatch = 2000;
  std::vector<QRect> batch;
  batch.reserve(kBatch);
  for (std::size_t i = 0; i < rects.size(); i += kBatch) {
    batch.clear();
    for (std::size_t j = i; j < std::min(rects.size(), i + kBatch); ++j)
      batch.emplace_back(rects[j].left, rects[j].top, rects[j].width, rects[j].height);
    QRegion part;
    part.setRects(batch.data(), static_cast<int>(batch.size()));
    region += part;
  }
  return region;
}

}  // namespace cirrodex
