#pragma once
// The conditions text of a report, in the words the program's condition
// pictures look for: "Clear", "A Few Clouds", "Partly Cloudy", "Mostly
// Cloudy", "Overcast" from the sky cover; "Light Rain", "Heavy Snow",
// "Thunderstorms and Rain", "Freezing Drizzle", "Fog", "Haze", "Mist",
// "Smoke", "Showers in the Vicinity" ... from the present weather. Weather
// beats sky cover, and of several weather groups the most significant wins
// (a tornado before a thunderstorm before freezing precipitation, ice, snow,
// rain, drizzle, then the obscurations; weather in the vicinity last). Empty
// when the report says nothing of either.

#include <string>

#include "service/metar.h"

namespace cirrodex {

std::string condition_words(const Metar& metar);

// The words of one present-weather group ("-FZRA" gives "Light Freezing Rain").
std::string weather_words(const WeatherGroup& group);

}  // namespace cirrodex
