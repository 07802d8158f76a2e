#pragma once
// The readings of a decoded report in the units and wording of the
// conditions documents: whole degrees Fahrenheit, whole percent, the wind in
// words and miles per hour ("From the South at 10 mph", "Calm", "Variable at
// 4 mph", gusts as "gusts 25"), the pressure in inches of mercury ("30.12
// in"), the visibility in statute miles and the conditions words. Both
// document forms take their values from here; a missing reading is empty.

#include <optional>
#include <string>

#include "service/metar.h"

namespace cirrodex {

struct ObservationTexts {
  std::optional<int> temperature_f;
  std::optional<int> dewpoint_f;
  std::optional<int> humidity;  // percent
  std::optional<int> heat_index_f;
  std::optional<int> wind_chill_f;
  std::string wind;
  std::string pressure;
  std::string conditions;
  // The visibility figure in statute miles, as a report would write it:
  // "10", "1 1/2", "<1/4", "6+" (at least six: P6SM, 9999, CAVOK), "2.5"
  // (from metres).
  std::string visibility;
};

ObservationTexts observation_texts(const Metar& metar);

// "10 miles", "1 mile", "1 1/2 mi": the figure with its unit in at most the
// eight characters the page parser reads.
std::string visibility_with_unit(const std::string& figure);

}  // namespace cirrodex
