#include "conditions/temperature_icons.h"

#include "platform/text.h"

namespace cirrodex {

namespace {

constexpr char kDegree = static_cast<char>(176);

// The character at a 1-based position is a digit (false past the end).
bool digit_at(std::string_view s, std::size_t pos) { return pos <= s.size() && text::is_digit(s[pos - 1]); }

}  // namespace

std::string_view icon_name(IconKind kind) {
  switch (kind) {
    case IconKind::Temperature:
      return "temperature";
    case IconKind::HeatIndex:
      return "heatindex";
    case IconKind::WindChill:
      return "windchill";
  }
  return {};
}

std::optional<IconText> icon_text(IconKind kind, std::string_view reading) {
  if (reading.empty()) return std::nullopt;
  IconText out;
  std::size_t take = 1;
  if (kind == IconKind::WindChill && digit_at(reading, 4)) {
    take = 4;
    out.length = IconTextLength::ExtraLong;
  } else if (digit_at(reading, 3)) {
    take = 3;
    out.length = IconTextLength::Long;
  } else if (digit_at(reading, 2)) {
    take = 2;
  }
  out.text = std::string(reading.substr(0, take)) + kDegree;
  return out;
}

IconLayout icon_layout(const IconText& text) {
  // Tested in this order: a lone character ("7", "n") with its degree sign
  // first, whatever the length mark says.
  if (text.text.size() <= 2) return {20, 3, 2};
  switch (text.length) {
    case IconTextLength::ExtraLong:
      return {14, 0, 2};
    case IconTextLength::Long:
      return {14, 1, 2};
    case IconTextLength::Normal:
      break;
  }
  return {17, 1, 2};
}

std::vector<IconKind> icons_to_draw(Settings& settings) {
  std::vector<IconKind> out;
  const std::string temp = settings.get("TempIcon");
  if (temp == "y" || temp == "b") out.push_back(IconKind::Temperature);
  if (settings.flag("HindexIcon")) out.push_back(IconKind::HeatIndex);
  if (settings.flag("WindcIcon")) out.push_back(IconKind::WindChill);
  return out;
}

std::string_view icon_colour_key(IconKind kind) {
  switch (kind) {
    case IconKind::Temperature:
      return "tempiconcolor";
    case IconKind::HeatIndex:
      return "Hindexiconcolor";
    case IconKind::WindChill:
      return "WindcIconcolor";
  }
  return {};
}

std::string_view icon_colour_default(IconKind kind) {
  switch (kind) {
    case IconKind::Temperature:
      return "clBlue";
    case IconKind::HeatIndex:
      return "clMaroon";
    case IconKind::WindChill:
      return "clNavy";
  }
  return {};
}

std::optional<IconPicture> icon_picture(IconKind kind, const Readings& readings, Settings& settings) {
  const std::string& reading = kind == IconKind::Temperature ? readings.Temperature
                               : kind == IconKind::HeatIndex ? readings.HeatIndex
                                                             : readings.WindChill;
  auto text = icon_text(kind, reading);
  if (!text) return std::nullopt;
  IconPicture picture;
  picture.kind = kind;
  picture.layout = icon_layout(*text);
  picture.text = std::move(*text);
  picture.colour = settings.get(icon_colour_key(kind));
  if (picture.colour == kMissing) picture.colour = icon_colour_default(kind);
  picture.text_colour = kind == IconKind::Temperature ? kClYellow : kClWhite;
  return picture;
}

std::optional<ColourValue> icon_background(const IconPicture& picture) {
  // The Preferences write a custom heat-index or wind-chill colour as "#RRGGBB".
  return colour_from_text(picture.colour, picture.kind != IconKind::Temperature);
}

}  // namespace cirrodex
