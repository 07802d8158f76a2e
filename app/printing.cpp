#include "app/printing.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace cirrodex {

std::string print_image(QPrinter& printer, const QImage& image) {
  if (image.isNull()) return "There is nothing to print.";
  QPainter painter;
  if (!painter.begin(&printer)) return "Printing failed: the printer could not be started.";
  const QRect page = painter.viewport();
  const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
  painter.drawImage(QRect(page.topLeft(), size), image);
  if (!painter.end()) return "Printing failed: the printer did not take the page.";
  return {};
}

std::string print_text_lines(QPrinter& printer, const std::vector<std::string>& lines, int point_size) {
  QPainter painter;
  if (!painter.begin(&printer)) return "Printing failed: the printer could not be started.";
  QFont font = QGuiApplication::font();
  font.setPointSize(point_size);
  // Sized for the printer's resolution, not the screen's.
  painter.setFont(QFont(font, painter.device()));
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect page = painter.viewport();
  int y = page.top();
  for (const std::string& line : lines) {
    if (y + metrics.height() > page.bottom() && y > page.top()) {
      if (!printer.newPage()) return "Printing failed: the printer did not take the page.";
      y = page.top();
    }
    painter.drawText(page.left(), y + metrics.ascent(),
                     QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    y += metrics.lineSpacing();
  }
  if (!painter.end()) return "Printing failed: the printer did not take the page.";
  return {};
}

}  // namespace cirrodex
