#include "service/sky_times.h"

#include <cmath>
#include <utility>

#include "moon/errors.h"
#include "moon/phases.h"
#include "moon/position.h"
#include "moon/rise_set.h"
#include "service/local_time.h"

namespace cirrodex::service {

namespace {

using std::chrono::sys_seconds;

constexpr std::int64_t kDay = 86400;
// The moon library counts days from 30 December 1899; 1 January 1970 is day 25569.
constexpr std::int64_t kUnixEpochInstant = 25569;

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// How far the body stands above the altitude at which it rises or sets, in
// degrees: the Sun's upper limb with refraction, the Moon's likewise with
// its parallax (geocentric positions, as in Meeus's chapter 15).
moon::Real above_horizon(moon::Body body, GeoPoint where, moon::Instant t) {
  using namespace moon;
  const bool sun = body == Body::Sun;
  const BodyPosition p = sun ? sun_position(t) : moon_position(t);
  const Real standard = sun ? -0.8333L : 0.7275L * p.parallax - 0.5667L;
  const Real hour_angle = sidereal_time(t) + static_cast<Real>(where.longitude) - p.right_ascension;
  const Real lat = static_cast<Real>(where.latitude);
  const Real altitude = asind(sind(lat) * sind(p.declination) + cosd(lat) * cosd(p.declination) * cosd(hour_angle));
  return altitude - standard;
}

// The library's rise and set come from positions at three midnights with a
// single correction step (the Moontool windows show them so); for the Moon
// that leaves them several minutes off. Newton steps on the altitude itself
// bring them within a minute or two of the almanacs. An estimate the steps cannot
// improve (a grazing Moon at high latitude) is kept as it is.
moon::Instant refined(moon::Body body, moon::RiseKind kind, GeoPoint where, moon::Instant estimate) {
  constexpr moon::Real kStep = 1.0L / 1440;   // one minute, in days
  constexpr moon::Real kLimit = 2.0L / 24;    // the steps stay within two hours
  constexpr moon::Real kDone = 1.0L / 86400;  // one second
  moon::Instant t = estimate;
  for (int i = 0; i < 8; ++i) {
    const moon::Real f = above_horizon(body, where, t);
    const moon::Real slope = (above_horizon(body, where, t + kStep) - f) / kStep;
    const bool rising = kind == moon::RiseKind::Rise;
    if (rising ? slope <= 0 : slope >= 0) return estimate;
    const moon::Real step = -f / slope;
    t += step;
    if (std::fabs(t - estimate) > kLimit) return estimate;
    if (std::fabs(step) < kDone) return t;
  }
  return t;
}

std::optional<sys_seconds> first_event(moon::Body body, moon::RiseKind kind, GeoPoint where, std::int64_t start,
                                       std::int64_t end) {
  std::optional<std::int64_t> best;
  // Each day of Universal Time gives one event near it; the days around the
  // local day hold every event that can fall within it.
  for (std::int64_t ut_day = floor_div(start, kDay) - 1; ut_day <= floor_div(end, kDay) + 1; ++ut_day) {
    try {
      const moon::Instant at = refined(body, kind, where,
                                       moon::rise_transit_set(body, kind, where.latitude, -where.longitude,
                                                              static_cast<moon::Instant>(ut_day + kUnixEpochInstant)));
      const auto t = static_cast<std::int64_t>(std::llround((at - kUnixEpochInstant) * kDay));
      if (t >= start && t < end && (!best || t < *best)) best = t;
    } catch (const moon::E_NoRiseSet&) {
      // Above or below the horizon all that day.
    }
  }
  if (!best) return std::nullopt;
  return sys_seconds{std::chrono::seconds{*best}};
}

std::string event_text(const TimeZoneRules& zone, const std::optional<sys_seconds>& t) {
  if (!t) return {};
  // To the nearest minute, as almanacs print them.
  return clock_text(zone_time(zone, *t + std::chrono::seconds{30}));
}

}  // namespace

SkyEvents sky_events(GeoPoint where, const TimeZoneRules& zone, sys_seconds now) {
  const LocalDay day = local_day(zone, now);
  const std::int64_t start = day.start.time_since_epoch().count();
  const std::int64_t end = day.end.time_since_epoch().count();
  using moon::Body;
  using moon::RiseKind;
  return {first_event(Body::Sun, RiseKind::Rise, where, start, end),
          first_event(Body::Sun, RiseKind::Set, where, start, end),
          first_event(Body::Moon, RiseKind::Rise, where, start, end),
          first_event(Body::Moon, RiseKind::Set, where, start, end)};
}

SkyTimes sky_times(GeoPoint where, const TimeZoneRules& zone, sys_seconds now) {
  const SkyEvents e = sky_events(where, zone, now);
  return {event_text(zone, e.sunrise), event_text(zone, e.sunset), event_text(zone, e.moonrise),
          event_text(zone, e.moonset)};
}

std::string moon_phase_name(const TimeZoneRules& zone, sys_seconds now) {
  const LocalDay day = local_day(zone, now);
  const auto instant = [](sys_seconds t) {
    return static_cast<moon::Instant>(t.time_since_epoch().count()) / kDay + kUnixEpochInstant;
  };
  const moon::Instant start = instant(day.start), end = instant(day.end);
  const moon::Instant middle = (start + end) / 2;
  // The principal phases name the day on which they fall, as almanacs do.
  using moon::PhaseKind;
  static constexpr std::pair<PhaseKind, const char*> kPrincipal[] = {{PhaseKind::NewMoon, "New Moon"},
                                                                     {PhaseKind::FirstQuarter, "First Quarter"},
                                                                     {PhaseKind::FullMoon, "Full Moon"},
                                                                     {PhaseKind::LastQuarter, "Last Quarter"}};
  for (const auto& [kind, name] : kPrincipal) {
    const moon::Instant at = moon::last_phase(kind, end);
    if (at >= start && at < end) return name;
  }
  // Otherwise what the day looks like at its middle: negative phase angles wane.
  const bool waxing = moon::phase_angle(middle) >= 0;
  const bool gibbous = moon::illuminated_fraction(middle) >= 0.5L;
  return std::string(waxing ? "Waxing " : "Waning ") + (gibbous ? "Gibbous" : "Crescent");
}

}  // namespace cirrodex::service
