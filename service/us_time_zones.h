#pragma once
// The time zones of the US states: the zone of each state that lies in one,
// and for a state that lies in several a few towns of each zone, so that a
// place takes the zone of the nearest town. The principal places of
// zone1970.tab will not do there: Houston lies nearer to Denver than to
// Chicago.

#include <span>
#include <string_view>

namespace cirrodex::service {

struct UsZoneTown {
  std::string_view state;
  double latitude, longitude;
  std::string_view zone;
};

// The zone of a state that lies in one zone; empty for the others and for
// codes that are no state.
std::string_view single_us_zone(std::string_view state);

// Towns of each zone of a state that lies in several; empty for the others.
std::span<const UsZoneTown> us_zone_towns(std::string_view state);

}  // namespace cirrodex::service
