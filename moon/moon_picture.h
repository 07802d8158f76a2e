#pragma once
// The small moon picture of the main window: today's lit fraction, looked up
// in the almanac tables for 1999 to 2005 and taken from the moon library for
// any other date, chooses one of twenty pictures (full, new, nine waning and
// nine waxing steps).

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/host.h"

namespace cirrodex::moon {

inline constexpr int kMoonPictureCount = 20;
inline constexpr int kFirstTableYear = 1999;
inline constexpr int kLastTableYear = 2005;
// 32 rows of the day number and twelve month values, four characters each.
inline constexpr std::size_t kYearTableLength = 32 * 13 * 4;
inline constexpr std::string_view kMissingDay = "9.99";

// The lit fraction of the Moon's disc at 0h UT of a date, as "d.dd".
std::string lit_fraction_text(int year, int month, int day);
// A year's table computed from the moon library (what make-moon-tables
// writes to resources/moon/years.txt).
std::string year_table_text(int year);
// The built-in table of a year, 1999 to 2005.
std::optional<std::string_view> year_table(int year);
// The four characters of day d, month m; nullopt when they lie outside the table.
std::optional<std::string> table_value(std::string_view table, int day, int month);

// Picture names by number: 0 "fullmoonx", 1-9 waning "GifImage10x".."GifImage90x",
// 10-18 waxing "GifImageL10x".."GifImageL90x", 19 "newmoonx".
std::string moon_picture_name(int number);
std::optional<int> moon_picture_number(std::string_view name);
// The picture's PNG bytes from the built-in resources.
std::optional<std::string_view> moon_picture_png(int number);

struct MoonPictureResult {
  std::optional<int> number;  // nullopt: keep the picture on screen
  std::string name;
  std::string today;  // the two values compared
  std::string next;
};

// Picks the picture from today's and the next day's value texts; reports a
// value without a point or a name outside the list through the host.
MoonPictureResult choose_moon_picture(const std::string& today, const std::string& next, Host& host,
                                      const std::string& support_address);
// Today's picture by the clock's local date.
MoonPictureResult draw_moon_picture(Clock& clock, Host& host, const std::string& support_address);

}  // namespace cirrodex::moon
