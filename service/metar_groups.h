#pragma once
// The groups of a METAR, one reader each, for the decoder in metar.cpp. A
// reader returns false when the text is not a group of its kind; a group of
// its kind whose value is marked missing ("/////KT", "A////") reads as true
// with the value left empty.

#include <optional>
#include <string_view>

#include "service/metar.h"

namespace cirrodex::metar_groups {

bool all_digits(std::string_view s);
// Only slashes ("//", "////", "//////"): an element an automatic station
// could not observe.
bool all_slashes(std::string_view s);

// ddhhmmZ.
std::optional<MetarTime> time(std::string_view g);

// dddff(Gfff)KT, VRBff..., with MPS and KMH as well.
bool wind(std::string_view g, std::optional<MetarWind>& out);
// dddVddd.
bool wind_sector(std::string_view g, MetarWind& wind);

// The prevailing visibility: "9999", "0800", "CAVOK", "10SM", "1/2SM",
// "1 1/2SM" (the two tokens joined by a blank), "M1/4SM", "P6SM", "////SM".
// A metre group may carry "NDV" or a compass direction.
bool visibility(std::string_view g, std::optional<MetarVisibility>& out);
// A directional minimum such as "1500SW", read past.
bool directional_visibility(std::string_view g);
// Whole statute miles standing before a fraction: the "1" of "1 1/2SM".
bool visibility_whole_part(std::string_view g, std::string_view next);

// Runway visual range and runway state groups (R24L/1800V3000FT, R/SNOCLO).
bool runway_group(std::string_view g);

std::optional<WeatherGroup> weather(std::string_view g);
std::optional<SkyLayer> sky(std::string_view g);

// TT/DD with M for minus; "//" or "M" alone for a missing value.
bool temperatures(std::string_view g, std::optional<double>& temperature, std::optional<double>& dewpoint);
// The remarks' TsTTTsDDD (or TsTTT), tenths of a degree, s = 1 for minus.
bool tenths_temperatures(std::string_view g, std::optional<double>& temperature, std::optional<double>& dewpoint);

// Annnn (hundredths of an inch of mercury) and Qnnnn (hectopascals).
bool pressure(std::string_view g, std::optional<MetarPressure>& out);

}  // namespace cirrodex::metar_groups
