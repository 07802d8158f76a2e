#include "app/printing.h"

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

}  // namespace cirrodex
