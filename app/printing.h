#pragma once
// Printing a picture of a window: as large as the page allows, in its own
// proportions, from the page's top-left corner.

#include <QImage>
#include <QPrinter>
#include <string>

namespace cirrodex {

// Empty on success, else what went wrong.
std::string print_image(QPrinter& printer, const QImage& image);

}  // namespace cirrodex
