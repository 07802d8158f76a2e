#pragma once
// The main notification-area icon while conditions are known: its tip is the
// conditions text and the temperature, its picture one of 21 condition
// pictures chosen from the conditions text and the local hour.

#include <optional>
#include <string>
#include <string_view>

#include "conditions/readings.h"

namespace cirrodex {

inline constexpr int kConditionPictureCount = 21;
// Shown for a special weather statement, never chosen from a conditions text.
inline constexpr int kWarningPicture = 13;

// Night runs from 19:00 to 04:59; only the hour counts.
bool is_night_hour(int hour);

// The picture index for a conditions text at the local hour. The first group
// whose words the lower-case text contains wins: clear, mostly cloudy, partly
// cloudy, other cloud, haze, snow, thunderstorm, rain, drizzle; 0 for none.
int condition_picture(std::string_view conditions, int local_hour);

// The icon's tip: the conditions text, " && " and the temperature text.
std::string condition_tip(const Readings& r);

// The built-in PNG of a picture (16 x 16, resource "COND<index>" of type
// "PNG"); empty outside 0..20.
std::optional<std::string_view> condition_picture_png(int index);

}  // namespace cirrodex
