#pragma once
// "Print Stats as Text": the lines printed for the current readings, labels
// and values joined without a space, the readings as they are stored.

#include <string>
#include <string_view>
#include <vector>

#include "conditions/readings.h"

namespace cirrodex {

inline constexpr int kPrintedStatsPointSize = 12;

std::vector<std::string> printed_stats_lines(std::string_view caption, const Readings& r);

}  // namespace cirrodex
