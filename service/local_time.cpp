#include "service/local_time.h"

#include <array>

namespace cirrodex::service {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};

}  // namespace

ZoneTime zone_time(const TimeZoneRules& zone, std::chrono::sys_seconds instant) {
  using namespace std::chrono;
  ZoneTime t;
  t.type = zone.at(instant.time_since_epoch().count());
  const sys_seconds local = instant + seconds{t.type.utc_offset};
  const sys_days day = floor<days>(local);
  const year_month_day date{day};
  const hh_mm_ss clock{local - day};
  t.year = static_cast<int>(date.year());
  t.month = static_cast<unsigned>(date.month());
  t.day = static_cast<unsigned>(date.day());
  t.hour = static_cast<int>(clock.hours().count());
  t.minute = static_cast<int>(clock.minutes().count());
  t.second = static_cast<int>(clock.seconds().count());
  return t;
}

std::string clock_text(const ZoneTime& t) {
  const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  std::string out = std::to_string(hour12) + ":";
  if (t.minute < 10) out += "0";
  out += std::to_string(t.minute);
  out += t.hour < 12 ? " AM" : " PM";
  if (!t.type.abbreviation.empty()) out += " " + t.type.abbreviation;
  return out;
}

std::string observation_text(const ZoneTime& t) {
  return clock_text(t) + " on " + kMonths.at(t.month - 1) + " " + std::to_string(t.day) + ", " + std::to_string(t.year);
}

}  // namespace cirrodex::service
