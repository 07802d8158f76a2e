#pragma once
// The colour notation of settings and skins: a colour value is 32 bits laid
// out as 00BBGGRR; values with the top bit set name a system colour
// (0x80000000 + the system colour index), which is drawn with a fixed RGB.
// Text forms: a standard name ("clBlack", "clHighlight", ...), "$" with eight
// hexadecimal digits 00BBGGRR, a decimal number, and, where allowed,
// "#RRGGBB".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cirrodex {

using ColourValue = std::uint32_t;

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// Parses a colour text; names compare without regard to ASCII case. "#RRGGBB"
// is accepted only when allow_hash is true. Empty when the text is no colour.
std::optional<ColourValue> colour_from_text(std::string_view text, bool allow_hash = false);

// The standard name when the value has one, else "$" and eight upper-case
// hexadecimal digits.
std::string colour_to_text(ColourValue value);

// The RGB a value is drawn with (system colours map to fixed values of the
// classic desktop scheme; clNone and clDefault draw as white).
Rgb colour_rgb(ColourValue value);

inline constexpr ColourValue kClBlack = 0x000000;
inline constexpr ColourValue kClWhite = 0xFFFFFF;
inline constexpr ColourValue kClFuchsia = 0xFF00FF;
inline constexpr ColourValue kClNone = 0x1FFFFFFF;
inline constexpr ColourValue kClDefault = 0x20000000;

}  // namespace cirrodex
