#pragma once
// Sunrise, sunset, moonrise and moonset of a place on its local day, from
// the moon library, and as the conditions document writes them ("7:15 AM
// CST", or nothing when the event does not happen that day: no sunrise in
// the polar night, no moonrise on about one day a month); and the name of
// the Moon's phase that day.

#include <chrono>
#include <optional>
#include <string>

#include "service/geo_point.h"
#include "service/tzif.h"

namespace cirrodex::service {

struct SkyEvents {
  std::optional<std::chrono::sys_seconds> sunrise, sunset, moonrise, moonset;
};

struct SkyTimes {
  std::string sunrise, sunset, moonrise, moonset;
};

// The first of each event within the local day (in zone) that holds now.
SkyEvents sky_events(GeoPoint where, const TimeZoneRules& zone, std::chrono::sys_seconds now);

// The same, each to the nearest minute in the local time of the event.
SkyTimes sky_times(GeoPoint where, const TimeZoneRules& zone, std::chrono::sys_seconds now);

// "Full Moon", "New Moon", "First Quarter" or "Last Quarter" on the local
// day on which that phase falls; on the days between "Waxing Crescent",
// "Waxing Gibbous", "Waning Gibbous" or "Waning Crescent", as the Moon is
// in the middle of the day.
std::string moon_phase_name(const TimeZoneRules& zone, std::chrono::sys_seconds now);

}  // namespace cirrodex::service
