#include "conditions/printed_stats.h"

namespace cirrodex {

std::vector<std::string> printed_stats_lines(std::string_view caption, const Readings& r) {
  return {
      std::string(caption),
      r.ConditionTime,
      "",
      "Conditions:" + r.Conditions,
      "Temperature:" + r.Temperature,
      "Humidity:" + r.Humidity,
      "Pressure:" + r.Pressure,
      "Wind:" + r.Wind,
      "Viosibility:" + r.Visibility,  // sic: the printout has always read so
      "Dew Point:" + r.Dewpoint,
      "",
      "Sunrise:" + r.Sunrise,
      "Sunset:" + r.Sunset,
      "Moonrise:" + r.MoonRise,
      "Moonset:" + r.MoonSet,
      "Wind Chill:" + r.WindChill,
      "Heat Index:" + r.HeatIndex,
      " ",
      "",
      "[Printed from Cirrodex (by Velmoraworks).]",
  };
}

}  // namespace cirrodex
