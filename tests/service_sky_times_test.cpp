// Sun and moon times of a place's local day against published almanac
// times, the polar day and night, and the local time texts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "service/local_time.h"
#include "service/sky_times.h"
#include "service/time_zones.h"

namespace cirrodex::service {
namespace {

using std::chrono::sys_seconds;

sys_seconds utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0) {
  using namespace std::chrono;
  return sys_seconds{sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi}};
}

const TimeZoneRules& zone(const char* name) {
  static const TimeZones zones;
  const auto rules = zones.rules(name);
  if (!rules) throw std::runtime_error(std::string("no zone ") + name);
  return *rules;  // kept alive by the cache for the whole run
}

// Minutes after local midnight of "7:16 AM CST"-like text's clock, or -1.
int minutes_of(const std::string& text) {
  int h = 0, m = 0;
  char half[3] = {};
  if (std::sscanf(text.c_str(), "%d:%d %2s", &h, &m, half) != 3) return -1;
  return (h % 12 + (std::string(half) == "PM" ? 12 : 0)) * 60 + m;
}

struct Published {
  const char* what;
  GeoPoint where;
  const char* zone;
  sys_seconds day;  // an instant within the local day
  // "h:mm" in local time, "" when the almanac has no such event that day,
  // nullptr when it does not say.
  const char *sunrise, *sunset, *moonrise, *moonset;
  const char* abbreviation;
};

int hm(const char* s) {
  int h = 0, m = 0;
  (void)std::sscanf(s, "%d:%d", &h, &m);
  return h * 60 + m;
}

void expect_time(const std::string& got, const char* published, const char* abbreviation, const char* label) {
  if (published == nullptr) return;
  if (*published == '\0') {
    EXPECT_EQ(got, "") << label;
    return;
  }
  ASSERT_FALSE(got.empty()) << label;
  EXPECT_LE(std::abs(minutes_of(got) - hm(published)), 2) << label << ": " << got << ", published " << published;
  EXPECT_EQ(got.substr(got.rfind(' ') + 1), abbreviation) << label;
}

TEST(ServiceSkyTimes, AgreeWithPublishedTimesWithinTwoMinutes) {
  const GeoPoint chicago{41.88, -87.63}, berlin{52.52, 13.40}, sydney{-33.87, 151.28};
  const Published cases[] = {
      // Chicago sunrise charts (wx-now.com), December and June 2008, and
      // 14 March 2010, the day daylight saving time began.
      {"Chicago winter", chicago, "America/Chicago", utc(2008, 12, 21, 18), "7:16", "16:23", nullptr, nullptr, "CST"},
      {"Chicago summer", chicago, "America/Chicago", utc(2008, 6, 14, 17), "5:15", "20:28", nullptr, nullptr, "CDT"},
      {"Chicago spring forward", chicago, "America/Chicago", utc(2010, 3, 14, 17), "7:04", "18:56", nullptr, nullptr,
       "CDT"},
      // Berlin on 21 June 2022 (dpa).
      {"Berlin solstice", berlin, "Europe/Berlin", utc(2022, 6, 21, 10), "4:44", "21:31", nullptr, nullptr, "CEST"},
      // Sydney (Dover Heights) on 26 April 2013, a full moon.
      {"Sydney full moon", sydney, "Australia/Sydney", utc(2013, 4, 26, 2), "6:26", "17:20", "17:35", "6:32", "AEST"},
      // Berlin in 2018: a day without moonset, a day without moonrise.
      {"Berlin no moonset", berlin, "Europe/Berlin", utc(2018, 3, 22, 11), nullptr, nullptr, "8:43", "", "CET"},
      {"Berlin no moonrise", berlin, "Europe/Berlin", utc(2018, 6, 2, 10), nullptr, nullptr, "", "8:02", "CEST"},
      {"Berlin moonrise after midnight", berlin, "Europe/Berlin", utc(2018, 6, 3, 10), nullptr, nullptr, "0:20",
       nullptr, "CEST"},
  };
  for (const auto& c : cases) {
    const SkyTimes t = sky_times(c.where, zone(c.zone), c.day);
    expect_time(t.sunrise, c.sunrise, c.abbreviation, (std::string(c.what) + " sunrise").c_str());
    expect_time(t.sunset, c.sunset, c.abbreviation, (std::string(c.what) + " sunset").c_str());
    expect_time(t.moonrise, c.moonrise, c.abbreviation, (std::string(c.what) + " moonrise").c_str());
    expect_time(t.moonset, c.moonset, c.abbreviation, (std::string(c.what) + " moonset").c_str());
  }
}

TEST(ServiceSkyTimes, TheLocalDayNotTheUtcDay) {
  // 11 December 2026, 11:30 PM CST is already 12 December in UTC; the
  // events are still those of the 11th, all between its two midnights.
  const TimeZoneRules& chicago = zone("America/Chicago");
  const GeoPoint where{41.88, -87.63};
  const SkyEvents late = sky_events(where, chicago, utc(2026, 12, 12, 5, 30));
  const SkyEvents early = sky_events(where, chicago, utc(2026, 12, 11, 6, 0));  // 12:00 AM CST
  ASSERT_TRUE(late.sunrise && late.sunset && early.sunrise);
  EXPECT_EQ(*late.sunrise, *early.sunrise);
  for (const auto& e : {late.sunrise, late.sunset, late.moonrise, late.moonset}) {
    if (!e) continue;
    EXPECT_GE(*e, utc(2026, 12, 11, 6));
    EXPECT_LT(*e, utc(2026, 12, 12, 6));
  }
}

TEST(ServiceSkyTimes, PolarDayAndNightHaveNoSunriseOrSunset) {
  struct Case {
    const char* what;
    GeoPoint where;
    const char* zone;
    sys_seconds day;
  };
  const Case cases[] = {
      {"Utqiagvik polar night", {71.29, -156.79}, "America/Anchorage", utc(2024, 12, 21, 22)},
      {"Utqiagvik midnight sun", {71.29, -156.79}, "America/Anchorage", utc(2024, 6, 21, 22)},
      {"Longyearbyen midnight sun", {78.22, 15.65}, "Europe/Oslo", utc(2024, 6, 21, 12)},
      {"Antarctic polar night", {-77.85, 166.67}, "Pacific/Auckland", utc(2024, 6, 21, 0)},
  };
  for (const auto& c : cases) {
    const SkyTimes t = sky_times(c.where, zone(c.zone), c.day);
    EXPECT_EQ(t.sunrise, "") << c.what;
    EXPECT_EQ(t.sunset, "") << c.what;
  }
  // Outside those weeks the sun rises and sets there.
  const SkyTimes march = sky_times({71.29, -156.79}, zone("America/Anchorage"), utc(2024, 3, 20, 22));
  EXPECT_NE(march.sunrise, "");
  EXPECT_NE(march.sunset, "");
}

TEST(ServiceSkyTimes, MoonPhaseNamesTheLocalDayOfAPrincipalPhase) {
  // January 2024: new moon on the 11th at 11:57 UTC, first quarter on the
  // 18th at 03:52 UTC (the evening of the 17th in Chicago), full moon on the
  // 25th at 17:54 UTC, last quarter on 2 February at 23:18 UTC (the 3rd in
  // Sydney).
  struct Case {
    const char* zone;
    sys_seconds t;
    const char* phase;
  };
  const Case cases[] = {
      {"America/Chicago", utc(2024, 1, 10, 18), "Waning Crescent"},
      {"America/Chicago", utc(2024, 1, 11, 18), "New Moon"},
      {"America/Chicago", utc(2024, 1, 12, 18), "Waxing Crescent"},
      {"America/Chicago", utc(2024, 1, 17, 12), "First Quarter"},
      {"Europe/Berlin", utc(2024, 1, 17, 12), "Waxing Crescent"},
      {"Europe/Berlin", utc(2024, 1, 18, 12), "First Quarter"},
      {"America/Chicago", utc(2024, 1, 24, 18), "Waxing Gibbous"},
      {"America/Chicago", utc(2024, 1, 25, 18), "Full Moon"},
      {"America/Chicago", utc(2024, 1, 26, 18), "Waning Gibbous"},
      {"America/Chicago", utc(2024, 2, 2, 18), "Last Quarter"},
      {"Australia/Sydney", utc(2024, 2, 2, 12), "Waning Gibbous"},
      {"Australia/Sydney", utc(2024, 2, 3, 2), "Last Quarter"},
  };
  for (const auto& c : cases) {
    const ZoneTime local = zone_time(zone(c.zone), c.t);
    EXPECT_EQ(moon_phase_name(zone(c.zone), c.t), c.phase) << c.zone << " " << local.month << "/" << local.day;
  }
}

TEST(ServiceLocalTime, LocalDaysRunFromMidnightToMidnight) {
  struct Case {
    const char* what;
    const char* zone;
    sys_seconds t;
    sys_seconds start;
    std::chrono::hours length;
  };
  const Case cases[] = {
      {"late evening, next day in UTC", "America/Chicago", utc(2026, 12, 12, 5, 30), utc(2026, 12, 11, 6),
       std::chrono::hours(24)},
      {"spring forward", "America/Chicago", utc(2026, 3, 8, 17), utc(2026, 3, 8, 6), std::chrono::hours(23)},
      {"fall back", "America/Chicago", utc(2026, 11, 1, 17), utc(2026, 11, 1, 5), std::chrono::hours(25)},
      {"east of Greenwich", "Asia/Kolkata", utc(2026, 2, 28, 20), utc(2026, 2, 28, 18, 30), std::chrono::hours(24)},
  };
  for (const auto& c : cases) {
    const LocalDay day = local_day(zone(c.zone), c.t);
    EXPECT_EQ(day.start, c.start) << c.what;
    EXPECT_EQ(day.end - day.start, c.length) << c.what;
    EXPECT_TRUE(day.holds(c.t)) << c.what;
    EXPECT_FALSE(day.holds(day.end)) << c.what;
  }
}

TEST(ServiceLocalTime, ClockAndObservationTexts) {
  struct Case {
    const char* zone;
    sys_seconds t;
    const char* clock;
    const char* observation;
  };
  const Case cases[] = {
      {"America/Chicago", utc(2026, 12, 11, 21, 53), "3:53 PM CST", "3:53 PM CST on December 11, 2026"},
      {"America/Chicago", utc(2026, 7, 4, 5, 5), "12:05 AM CDT", "12:05 AM CDT on July 4, 2026"},
      {"America/Chicago", utc(2026, 7, 4, 17, 0), "12:00 PM CDT", "12:00 PM CDT on July 4, 2026"},
      {"Australia/Sydney", utc(2026, 12, 31, 13, 1), "12:01 AM AEDT", "12:01 AM AEDT on January 1, 2027"},
      {"Asia/Kolkata", utc(2026, 2, 28, 20, 0), "1:30 AM IST", "1:30 AM IST on March 1, 2026"},
      {"America/Sao_Paulo", utc(2026, 5, 5, 12, 0), "9:00 AM -03", "9:00 AM -03 on May 5, 2026"},
  };
  for (const auto& c : cases) {
    const ZoneTime t = zone_time(zone(c.zone), c.t);
    EXPECT_EQ(clock_text(t), c.clock) << c.zone;
    EXPECT_EQ(observation_text(t), c.observation) << c.zone;
  }
}

}  // namespace
}  // namespace cirrodex::service
