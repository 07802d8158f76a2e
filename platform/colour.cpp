#include "platform/colour.h"

#include <array>
#include <cstddef>
#include <limits>

#include "platform/text.h"

namespace cirrodex {

namespace {

constexpr ColourValue kSystemBit = 0x80000000u;
constexpr ColourValue sys(ColourValue index) { return kSystemBit | index; }

struct NamedColour {
  std::string_view name;
  ColourValue value;
};

// The standard colour names in the order the settings and skins have always
// written them; colour_to_text takes the first name for a value.
constexpr auto kNamed = std::to_array<NamedColour>({
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", sys(0)},
    {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},
    {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},
    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clHotLight", sys(26)},
    {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)},
    {"clMenuHighlight", sys(29)},
    {"clMenuBar", sys(30)},
    {"clNone", kClNone},
    {"clDefault", kClDefault},
});

// The classic (Windows 9x "Windows Standard") desktop scheme, by system
// colour index. Skins were drawn against it, so it stays fixed whatever the
// desktop we run on uses. Index 25 was never assigned and draws black.
constexpr auto kSystemRgb = std::to_array<Rgb>({
    {0xC0, 0xC0, 0xC0},  // 0 scroll bar
    {0x00, 0x80, 0x80},  // 1 desktop background
    {0x00, 0x00, 0x80},  // 2 active caption
    {0x80, 0x80, 0x80},  // 3 inactive caption
    {0xC0, 0xC0, 0xC0},  // 4 menu
    {0xFF, 0xFF, 0xFF},  // 5 window
    {0x00, 0x00, 0x00},  // 6 window frame
    {0x00, 0x00, 0x00},  // 7 menu text
    {0x00, 0x00, 0x00},  // 8 window text
    {0xFF, 0xFF, 0xFF},  // 9 caption text
    {0xC0, 0xC0, 0xC0},  // 10 active border
    {0xC0, 0xC0, 0xC0},  // 11 inactive border
    {0x80, 0x80, 0x80},  // 12 application workspace
    {0x00, 0x00, 0x80},  // 13 highlight
    {0xFF, 0xFF, 0xFF},  // 14 highlight text
    {0xC0, 0xC0, 0xC0},  // 15 button face
    {0x80, 0x80, 0x80},  // 16 button shadow
    {0x80, 0x80, 0x80},  // 17 grey text
    {0x00, 0x00, 0x00},  // 18 button text
    {0xC0, 0xC0, 0xC0},  // 19 inactive caption text
    {0xFF, 0xFF, 0xFF},  // 20 button highlight
    {0x00, 0x00, 0x00},  // 21 3D dark shadow
    {0xC0, 0xC0, 0xC0},  // 22 3D light
    {0x00, 0x00, 0x00},  // 23 tooltip text
    {0xFF, 0xFF, 0xE1},  // 24 tooltip background
    {0x00, 0x00, 0x00},  // 25 unassigned
    {0x00, 0x00, 0xFF},  // 26 hot-tracked item
    {0x10, 0x84, 0xD0},  // 27 active caption gradient
    {0xB5, 0xB5, 0xB5},  // 28 inactive caption gradient
    {0x00, 0x00, 0x80},  // 29 menu highlight (as highlight)
    {0xC0, 0xC0, 0xC0},  // 30 menu bar (as menu)
});

bool is_hex_digit(char c) { return text::is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool all_hex(std::string_view s) {
  for (const char c : s)
    if (!is_hex_digit(c)) return false;
  return true;
}

Rgb rgb_of(ColourValue v) {
  return {static_cast<std::uint8_t>(v & 0xFFu), static_cast<std::uint8_t>((v >> 8) & 0xFFu),
          static_cast<std::uint8_t>((v >> 16) & 0xFFu)};
}

}  // namespace

std::optional<ColourValue> colour_from_text(std::string_view s, bool allow_hash) {
  if (s.empty()) return std::nullopt;
  for (const auto& n : kNamed)
    if (text::iequals(s, n.name)) return n.value;

  if (s[0] == '#') {
    // The colour dialog's web form, red first; stored values are 00BBGGRR.
    const std::string_view digits = s.substr(1);
    if (!allow_hash || digits.size() != 6 || !all_hex(digits)) return std::nullopt;
    const auto rrggbb = text::to_integer("$" + std::string(digits));
    if (!rrggbb) return std::nullopt;
    const auto v = static_cast<ColourValue>(*rrggbb);
    return ((v >> 16) & 0xFFu) | (v & 0xFF00u) | ((v & 0xFFu) << 16);
  }

  if (s[0] == '$') {
    const std::string_view digits = s.substr(1);
    if (digits.empty() || digits.size() > 8 || !all_hex(digits)) return std::nullopt;
    const auto v = text::to_integer(s);
    if (!v) return std::nullopt;
    return static_cast<ColourValue>(*v);
  }

  // Decimal; older files hold system colours as negative 32-bit numbers.
  if (s.find('$') != std::string_view::npos) return std::nullopt;
  const auto v = text::to_integer(s);
  if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::uint32_t>::max())
    return std::nullopt;
  return static_cast<ColourValue>(static_cast<std::uint64_t>(*v) & 0xFFFFFFFFu);
}

std::string colour_to_text(ColourValue value) {
  for (const auto& n : kNamed)
    if (n.value == value) return std::string(n.name);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "$";
  for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xFu]);
  return out;
}

Rgb colour_rgb(ColourValue value) {
  if (value == kClNone || value == kClDefault) return {0xFF, 0xFF, 0xFF};
  if ((value & kSystemBit) != 0) {
    // Like the desktop, only the low byte selects the system colour.
    const std::size_t index = value & 0xFFu;
    return index < kSystemRgb.size() ? kSystemRgb[index] : Rgb{};
  }
  return rgb_of(value);
}

}  // namespace cirrodex
