#pragma once
// The local date and time of an instant in a time zone, the local day that
// holds it, and the texts the conditions document writes them as:
// "7:15 AM CST" and "3:53 PM CST on December 11, 2026".

#include <chrono>
#include <string>

#include "service/tzif.h"

namespace cirrodex::service {

struct ZoneTime {
  int year = 1970;
  unsigned month = 1;  // 1..12
  unsigned day = 1;    // 1..31
  int hour = 0;        // 0..23
  int minute = 0;
  int second = 0;
  LocalTimeType type;  // offset, daylight saving time, abbreviation
};

ZoneTime zone_time(const TimeZoneRules& zone, std::chrono::sys_seconds instant);

// Local midnight to local midnight in the zone (23 or 25 hours long on the
// days of a change of time).
struct LocalDay {
  std::chrono::sys_seconds start, end;

  bool holds(std::chrono::sys_seconds t) const { return t >= start && t < end; }
};

LocalDay local_day(const TimeZoneRules& zone, std::chrono::sys_seconds instant);

// "7:15 AM CST": the 12-hour clock without a leading zero, seconds dropped.
std::string clock_text(const ZoneTime& t);
// "3:53 PM CST on December 11, 2026".
std::string observation_text(const ZoneTime& t);

}  // namespace cirrodex::service
