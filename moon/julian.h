#pragma once
// Instants, Julian dates and sidereal time.
//
// An instant counts days with a fraction from 30 December 1899 at midnight.
// The theories take it as Universal Time and use it directly as their time
// argument: there is no correction between dynamical and Universal Time.

#include "moon/astro_math.h"

namespace cirrodex::moon {

using Instant = long double;

// The instant of 1 January 2000 at midnight.
inline constexpr Instant kInstant2000 = 36526.0L;
// The Julian date of 15 October 1582, the first day of the Gregorian calendar.
inline constexpr Real kGregorianStartJd = 2299160.5L;

struct CalendarTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The instant of a (proleptic Gregorian) calendar date and time of day.
Instant make_instant(int year, int month, int day, int hour = 0, int minute = 0, Real second = 0);
// The calendar date and time of an instant, to the nearest millisecond.
CalendarTime calendar_time(Instant t);

// t + 2415018.5 from 15 October 1582 on; 0 before.
Real julian_date(Instant t);
// The instant of a Julian date from 15 October 1582 on; 0 before.
Instant instant_of_julian_date(Real jd);
// Julian centuries from J2000.0.
inline Real julian_centuries(Real jd) { return (jd - 2451545.0L) / 36525.0L; }

// Greenwich mean sidereal time in degrees, 0 <= x < 360.
Real sidereal_time(Instant t);

}  // namespace cirrodex::moon
