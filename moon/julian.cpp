#include "moon/julian.h"

#include <cstdint>

namespace cirrodex::moon {
namespace {

// Days from 1 January 1970 of a proleptic Gregorian date.
std::int64_t days_from_civil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (m + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  std::int64_t year;
  int month;
  int day;
};

Civil civil_from_days(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const auto day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const auto month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

const std::int64_t kEpochDays = days_from_civil(1899, 12, 30);
constexpr Real kJdOfEpoch = 2415018.5L;
constexpr Real kGregorianStartInstant = kGregorianStartJd - kJdOfEpoch;

}  // namespace

Instant make_instant(int year, int month, int day, int hour, int minute, Real second) {
  const auto days = static_cast<Real>(days_from_civil(year, month, day) - kEpochDays);
  return days + (static_cast<Real>(hour) * 3600.0L + static_cast<Real>(minute) * 60.0L + second) / 86400.0L;
}

CalendarTime calendar_time(Instant t) {
  const Real day_part = std::floor(t);
  auto ms = static_cast<std::int64_t>(std::nearbyint((t - day_part) * 86400000.0L));
  auto days = static_cast<std::int64_t>(day_part);
  if (ms >= 86400000) {
    ms -= 86400000;
    ++days;
  }
  const Civil c = civil_from_days(days + kEpochDays);
  CalendarTime out;
  out.year = static_cast<int>(c.year);
  out.month = c.month;
  out.day = c.day;
  out.hour = static_cast<int>(ms / 3600000);
  out.minute = static_cast<int>(ms / 60000 % 60);
  out.second = static_cast<int>(ms / 1000 % 60);
  out.millisecond = static_cast<int>(ms % 1000);
  return out;
}

Real julian_date(Instant t) { return t >= kGregorianStartInstant ? t + kJdOfEpoch : 0.0L; }

Instant instant_of_julian_date(Real jd) { return jd >= kGregorianStartJd ? kInstant2000 + (jd - 2451544.5L) : 0.0L; }

Real sidereal_time(Instant t) {
  const Real jd = julian_date(t);
  const Real tc = julian_centuries(jd);
  return normalized(280.46061837L + 360.98564736629L * (jd - 2451545.0L) + 0.000387933L * tc * tc -
                    tc * tc * tc / 38710000.0L);
}

}  // namespace cirrodex::moon
