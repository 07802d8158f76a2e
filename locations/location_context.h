#pragma once
// The current location, owned by the main window for the whole run and
// shared by retrieval, parsing, reports and the station lookup.

#include <string>

namespace cirrodex {

struct LocationContext {
  std::string requested;         // the location string of the fetch under way; may be empty
  std::string country;           // "US", a tree continent/country, or empty
  std::string state_or_country;  // two-letter US code, a country key "Botswana (O)", or "."
  std::string city;              // US cities in address form (blanks as "_")
  std::string zip;               // five digits or empty
};

}  // namespace cirrodex
