#pragma once
// Drawing a temperature icon picture with Qt's painter (no widgets): the
// background colour over the whole 32 x 32 square, the text in its colour
// and size at its place. Nothing is transparent. Needs a QGuiApplication
// (the painter's fonts).

#include <QImage>

#include "conditions/temperature_icons.h"
#include "platform/tray.h"

namespace cirrodex {

// The typeface of the icon texts: the narrow face the skins draw the classic
// default face with, so three digits and a degree sign nearly fit the square.
inline constexpr const char* kIconFamily = "Liberation Sans Narrow";

// The picture as an image; throws std::invalid_argument when the background
// text is no colour.
QImage icon_image(const IconPicture& picture);

// The same for the tray port.
TrayPicture draw_icon_picture(const IconPicture& picture);

}  // namespace cirrodex
