#pragma once
// The decoded elements of a report as name=value pairs in a fixed order, for
// people reading a report through cirrodex-inspect and for the tests that pin
// the decoder down: station, time, wind_dir, wind_kt, gust_kt, visibility_m,
// weather, sky, temp_c, dewpoint_c, pressure_hpa, humidity, conditions. An
// element the report lacks has an empty value.

#include <string>
#include <utility>
#include <vector>

#include "service/metar.h"

namespace cirrodex {

std::vector<std::pair<std::string, std::string>> metar_summary(const Metar& metar);

}  // namespace cirrodex
