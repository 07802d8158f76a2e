#pragma once
// The temperature, heat-index and wind-chill icons as numbers: which of them
// a reading draws, the text each shows (the leading digits of the reading and
// a degree sign), its font size and x offset, and its colours. Only choices
// here; the drawing is icon_painter's, and handing the pictures to the
// notification area is app/core/temperature_icons'.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conditions/readings.h"
#include "platform/colour.h"
#include "platform/settings.h"

namespace cirrodex {

enum class IconKind { Temperature, HeatIndex, WindChill };

// "temperature", "heatindex", "windchill".
std::string_view icon_name(IconKind kind);

// How many characters of the reading the text took before its degree sign.
enum class IconTextLength {
  Normal,     // one or two
  Long,       // three
  ExtraLong,  // four (only a wind chill reaches it)
};

struct IconText {
  std::string text;  // Latin-1, ends in the degree sign (byte 176)
  IconTextLength length = IconTextLength::Normal;
  bool operator==(const IconText&) const = default;
};

// The icon text of a reading: up to three leading characters (four for the
// wind chill) when the last of them is a digit, then the degree sign. Empty
// when the reading is empty (the icon then keeps its picture).
std::optional<IconText> icon_text(IconKind kind, std::string_view reading);

struct IconLayout {
  int size = 0;  // points
  int x = 0;
  int y = 2;
  bool operator==(const IconLayout&) const = default;
};

// The font size and position for a text.
IconLayout icon_layout(const IconText& text);

// Everything an icon picture is drawn from.
struct IconPicture {
  IconKind kind = IconKind::Temperature;
  IconText text;
  IconLayout layout;
  std::string colour;       // the background setting as stored, or its default
  ColourValue text_colour;  // yellow for the temperature, white for the others
};

inline constexpr int kIconPictureSize = 32;
inline constexpr ColourValue kClYellow = 0x00FFFF;

// The icons a reading draws, in their order: the temperature when TempIcon is
// "y" or "b", the heat index when HIndexIcon is "y", the wind chill when
// WindcIcon is "y".
std::vector<IconKind> icons_to_draw(Settings& settings);

// The setting holding an icon's background, and its default colour text.
std::string_view icon_colour_key(IconKind kind);
std::string_view icon_colour_default(IconKind kind);

// The picture an icon would show for these readings; empty when its reading
// is empty.
std::optional<IconPicture> icon_picture(IconKind kind, const Readings& readings, Settings& settings);

// The background of a picture in the colour notation; the heat-index and
// wind-chill settings also take "#RRGGBB". Empty when the text is no colour.
std::optional<ColourValue> icon_background(const IconPicture& picture);

}  // namespace cirrodex
