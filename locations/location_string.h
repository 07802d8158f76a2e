#pragma once
// Taking a location string apart:
//   "Muscle_Shoals, AL"            US city
//   "12345 - Tuscaloosa, AL"       US zip code
//   "Francistown, Botswana (O)"    a place outside the US

#include <string>

#include "locations/location_context.h"

namespace cirrodex {

// Fills country, state or country, city and zip code of ctx from the
// location string (the requested item itself is left as it is).
void parse_location_string(const std::string& location, LocationContext& ctx);

// True when s holds a "(" at its second character or later: the mark of the
// non-US form.
bool has_paren_after_first(const std::string& s);

}  // namespace cirrodex
