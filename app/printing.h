#pragma once
// Printing a picture of a window: as large as the page allows, in its own
// proportions, from the page's top-left corner; and printing lines of plain
// text, page after page.

#include <QImage>
#include <QPrinter>
#include <string>
#include <vector>

namespace cirrodex {

// Empty on success, else what went wrong.
std::string print_image(QPrinter& printer, const QImage& image);

// The Latin-1 lines from the top of the page down in the application's
// font at point_size, a new page whenever one is full. Empty on success.
std::string print_text_lines(QPrinter& printer, const std::vector<std::string>& lines, int point_size);

}  // namespace cirrodex
