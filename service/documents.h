#pragma once
// The two conditions documents the program reads, made from one decoded
// report and what is known of its place: the page form (an HTML page in
// Latin-1 whose labels and values sit where the program's page parser looks
// for them, followed by the forecast section its forecast page keeps) and
// the raw "|" form (the program's Datasource "2").
//
// The page parser reads several values in fixed widths: humidity and dew
// point in four characters, the wind chill in five right after its label,
// visibility in eight, the temperature's unit within twelve characters of
// the label. The values are written to fit, padded with blanks so that a
// short one never runs into the next label. A missing value is written
// "N/A", which the parser keeps or turns into "n/a"; the temperature keeps
// its unit ("N/A°F") so that the parser finds one and reports no error.

#include <string>

#include "service/metar.h"

namespace cirrodex {

struct ConditionsReport {
  std::string place_name;        // the page's heading: "Chicago, Illinois"; abroad "Oslo, Norway"
  std::string city;              // the raw form's city field: "Chicago"
  std::string state_or_country;  // the raw form's next field: "Illinois", "Norway"
  std::string station_icao;      // the station whose report this is
  std::string station_name;
  // The observation time in the place's local time: "3:53 PM CST on
  // December 11, 2026". The parsers show it up to its comma.
  std::string observed;
  Metar metar;
  // Local times such as "7:15 AM CST"; empty when the event does not happen
  // that day or is not known.
  std::string sunrise;
  std::string sunset;
  std::string moonrise;
  std::string moonset;
  std::string moon_phase;  // "Waxing Gibbous"; empty when not known
  // The zone forecast, or a sentence saying that none is available.
  std::string forecast;
};

std::string conditions_page(const ConditionsReport& report);
std::string conditions_raw(const ConditionsReport& report);

}  // namespace cirrodex
