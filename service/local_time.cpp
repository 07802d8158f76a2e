#include "service/local_time.h"

#include <array>
#include <cstdint>

namespace cirrodex::service {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};

constexpr std::int64_t kDay = 86400;

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The UTC instant of local midnight starting local day number `day`, the
// offset of the instant asked about being a good first guess.
std::int64_t local_midnight(const TimeZoneRules& zone, std::int64_t day, std::int32_t offset_guess) {
  const std::int64_t guess = day * kDay - offset_guess;
  return day * kDay - zone.at(guess).utc_offset;
}

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

LocalDay local_day(const TimeZoneRules& zone, std::chrono::sys_seconds instant) {
  const std::int64_t t = instant.time_since_epoch().count();
  const std::int32_t offset = zone.at(t).utc_offset;
  const std::int64_t day = floor_div(t + offset, kDay);
  using std::chrono::seconds;
  return {std::chrono::sys_seconds{seconds{local_midnight(zone, day, offset)}},
          std::chrono::sys_seconds{seconds{local_midnight(zone, day + 1, offset)}}};
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
