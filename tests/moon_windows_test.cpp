// The texts of the Moontool and More Data windows: formats, fast mode, the
// place file, the day rules for rises and sets and the eclipse searches.

#include "moon/moon_windows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>

#include "moon/errors.h"
#include "moon/phases.h"
#include "moon_near.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/file_settings_store.h"

namespace cirrodex::moon {
namespace {

const MonthNames& en = english_month_names();

using fakes::local_time;

TEST(MoonFormats, FieldsStampsAndEventTimes) {
  EXPECT_EQ(fixed_field(0.983L, 6, 3), " 0.983");
  EXPECT_EQ(fixed_field(1.0167L, 6, 3), " 1.017");
  EXPECT_EQ(fixed_field(0.5181L, 6, 4), "0.5181");
  EXPECT_EQ(fixed_field(63.04L, 4, 1), "63.0");
  EXPECT_EQ(fixed_field(9.25L, 4, 1), " 9.2");  // the nearest decimal of the stored value, ties to even
  EXPECT_EQ(fixed_field(2451545.0L, 12, 5), "2451545.00000");
  EXPECT_EQ(fixed_field(12.5L, 12, 5), "    12.50000");

  EXPECT_EQ(time_stamp(make_instant(1999, 12, 9, 14, 5, 9), en), "14:05:09 9 December 1999");
  EXPECT_EQ(time_stamp(make_instant(2026, 3, 1, 0, 0, 0.4L), en), "00:00:00 1 March 2026");
  EXPECT_EQ(time_stamp(make_instant(2026, 3, 1, 23, 59, 59.9996L), en), "00:00:00 2 March 2026");
  EXPECT_EQ(event_time(make_instant(1999, 12, 8, 7, 32, 40), en), "07:32 UTC 8 December 1999");
  MonthNames german = en;
  german[11] = "Dezember";
  german[2] = "M\xe4rz";
  EXPECT_EQ(event_time(make_instant(1999, 12, 31, 23, 5), german), "23:05 UTC 31 Dezember 1999");
  EXPECT_EQ(time_stamp(make_instant(2000, 3, 5, 1, 2, 3), german), "01:02:03 5 M\xe4rz 2000");
}

TEST(MoonFormats, UtcOffsetFromTheClock) {
  // Central European summer time: local = UT + 2 h.
  const LocalDateTime summer = local_time(2026, 7, 1, 14, 0, 0, 7200);
  EXPECT_EQ(utc_offset_minutes(summer), -120);
  EXPECT_EQ(time_stamp(universal_instant(local_instant(summer), utc_offset_minutes(summer)), en),
            "12:00:00 1 July 2026");
  // West of Greenwich the offset is positive.
  EXPECT_EQ(utc_offset_minutes(local_time(2026, 1, 1, 0, 0, 0, -5 * 3600)), 300);
}

TEST(MoontoolValues, TheLunationOfJanuary2000) {
  // New moon 6 January 2000 18:14 UT (Brown lunation 953: Meeus's k = 0 plus 953), first quarter
  // 14 Jan 13:34, full moon 21 Jan 04:40, last quarter 28 Jan 07:57, new
  // moon 5 Feb 13:03. The theories take the instant as dynamical time, so
  // they run about a minute late against published Universal Times.
  const Instant u = make_instant(2000, 1, 10, 12, 0, 0);
  const MoontoolValues v = moontool_values(u - 1.0L / 24, 60, true, en);
  EXPECT_EQ(v.universal_time, "12:00:00 10 January 2000");
  EXPECT_EQ(v.local_time, "11:00:00 10 January 2000");
  EXPECT_EQ(v.julian_date, "2451554.00000");
  const std::regex near_minute(R"(\d\d:\d\d UTC \d+ \w+ 2000)");
  const auto minutes_of = [](const std::string& text) {
    return std::stoi(text.substr(0, 2)) * 60 + std::stoi(text.substr(3, 2));
  };
  struct Case {
    const std::string* shown;
    const char* date;
    int minutes;
  } cases[] = {{&v.last_new_moon, "6 January 2000", 18 * 60 + 14},
               {&v.first_quarter, "14 January 2000", 13 * 60 + 34},
               {&v.full_moon, "21 January 2000", 4 * 60 + 40},
               {&v.last_quarter, "28 January 2000", 7 * 60 + 57},
               {&v.next_new_moon, "5 February 2000", 13 * 60 + 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(*c.shown);
    EXPECT_TRUE(std::regex_match(*c.shown, near_minute));
    EXPECT_EQ(c.shown->substr(10), c.date);
    EXPECT_LE(std::abs(minutes_of(*c.shown) - c.minutes), 3);
  }
  EXPECT_EQ(v.last_lunation, "953");
  EXPECT_EQ(v.next_lunation, "954");

  // Age: 3 days, 17 hours and some minutes, within a few minutes of the
  // library's value.
  std::smatch m;
  ASSERT_TRUE(std::regex_match(v.age, m, std::regex(R"((\d+) days, (\d+) hours, (\d+) minutes\.)")));
  const Real shown_age = std::stoi(m[1]) + std::stoi(m[2]) / 24.0L + std::stoi(m[3]) / 1440.0L;
  EXPECT_CLOSE(shown_age, moon_age(u), 1.0L / 1440);
  EXPECT_EQ(std::stoi(m[1]), 3);

  EXPECT_EQ(v.phase, std::to_string(v.phase_percent) + "% (0% = New, 100% = Full)");
  EXPECT_EQ(v.phase_percent, static_cast<int>(std::nearbyint(illuminated_fraction(u) * 100)));
  EXPECT_TRUE(std::regex_match(v.moon_distance, std::regex(R"(\d{6} kilometres, \d\d\.\d earth radii\.)")))
      << v.moon_distance;
  EXPECT_TRUE(std::regex_match(v.moon_subtends, std::regex(R"(0\.5\d{3})"))) << v.moon_subtends;
  EXPECT_TRUE(std::regex_match(v.sun_subtends, std::regex(R"(0\.5\d{3})"))) << v.sun_subtends;
}

TEST(MoontoolValues, SunDistanceKeepsItsFieldWidth) {
  // Near perihelion (early January) the distance in AU is 0.983: five
  // characters in a field of six, so two blanks follow "kilometres,".
  const MoontoolValues jan = moontool_values(make_instant(2026, 1, 3, 12, 0, 0), 0, true, en);
  EXPECT_TRUE(std::regex_match(jan.sun_distance, std::regex(R"(14\d{7} kilometres,  0\.983 astronomical units\.)")))
      << jan.sun_distance;
  const MoontoolValues jul = moontool_values(make_instant(2026, 7, 4, 12, 0, 0), 0, true, en);
  EXPECT_TRUE(std::regex_match(jul.sun_distance, std::regex(R"(15\d{7} kilometres,  1\.017 astronomical units\.)")))
      << jul.sun_distance;
  EXPECT_TRUE(moontool_values(make_instant(2026, 7, 4, 12, 0, 0), 0, false, en).local_time.empty());
}

TEST(MoontoolPanel, FastModeStopsAndRestartsFromThePresent) {
  fakes::FakeClock clock;
  clock.set(local_time(2026, 12, 11, 9, 0, 0, 3600));  // UT 08:00
  MoontoolPanel panel(clock, en);
  EXPECT_EQ(panel.first_values().universal_time, "08:00:00 11 December 2026");
  EXPECT_FALSE(panel.fast_mode());

  panel.toggle_fast_mode();
  clock.set(local_time(2026, 12, 11, 9, 0, 10, 3600));
  MoontoolPanel::Update u = panel.update();
  // Ten real seconds: ten hours ahead, plus the ten seconds.
  EXPECT_EQ(u.values.universal_time, "18:00:10 11 December 2026");
  EXPECT_EQ(u.values.local_time, "");

  // Off: the real time again, with the local time.
  panel.toggle_fast_mode();
  clock.set(local_time(2026, 12, 11, 9, 0, 20, 3600));
  u = panel.update();
  EXPECT_EQ(u.values.universal_time, "08:00:20 11 December 2026");
  EXPECT_EQ(u.values.local_time, "09:00:20 11 December 2026");

  // On again: the simulated time starts from the present, not from before.
  panel.toggle_fast_mode();
  clock.set(local_time(2026, 12, 11, 9, 0, 25, 3600));
  EXPECT_EQ(panel.update().values.universal_time, "13:00:25 11 December 2026");
}

TEST(MoontoolPanel, ThePictureIsRedrawnWhenThePercentageChanges) {
  fakes::FakeClock clock;
  clock.set(local_time(2026, 12, 11, 9, 0, 0));
  MoontoolPanel panel(clock, en);
  // The first tick always redraws; the same percentage a second later does not.
  const auto first = panel.update();
  ASSERT_TRUE(first.picture_date.has_value());
  EXPECT_EQ(*first.picture_date, first.values.universal);
  clock.set(local_time(2026, 12, 11, 9, 0, 1));
  EXPECT_FALSE(panel.update().picture_date.has_value());
  // Two days on the lit part has grown.
  clock.set(local_time(2026, 12, 13, 9, 0, 1));
  const auto later = panel.update();
  ASSERT_TRUE(later.picture_date.has_value());
  EXPECT_GT(later.values.phase_percent, first.values.phase_percent);
}

TEST(MoonPlace, FieldsAndStoredValues) {
  struct Case {
    const char* text;
    int latitude;  // as a latitude field (-90..90)
  } cases[] = {{"10", 10},
               {"-90", -90},
               {" 5 ", 5},
               {"+7", 7},
               {"200", 90},
               {"-200", -90},
               {"", -90},
               {"-", -90},
               {"abc", -90},
               {"1.5", -90},
               {"99999999999999999999999", 90}};
  for (const auto& c : cases) EXPECT_EQ(field_value(c.text, kMinLatitude, kMaxLatitude), c.latitude) << c.text;
  EXPECT_EQ(field_value("x", kMinLongitude, kMaxLongitude), -180);

  fakes::MemorySettingsStore file;
  EXPECT_EQ(read_moon_place(file), MoonPlace{});
  file.write("Location", "Name", "Home");
  file.write("Location", "Latitude", "north");
  file.write("Location", "Longitude", "500");
  EXPECT_EQ(read_moon_place(file), (MoonPlace{"Home", 0, 180}));
  file.write("Location", "Latitude", "-95");
  EXPECT_EQ(read_moon_place(file).latitude, -90);
}

TEST(MoonPlace, SavedOnHidingReadBackOnShowing) {
  char folder[] = "/tmp/cirrodex-moonplace-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/Moontool.ini";
  {
    FileSettingsStore file(path);
    EXPECT_FALSE(write_moon_place(file, {"Z\xfcrich", 10, 0}).has_value());
  }
  FileSettingsStore again(path);
  EXPECT_EQ(read_moon_place(again), (MoonPlace{"Z\xfcrich", 10, 0}));
  fakes::MemorySettingsStore refusing;
  refusing.set_fail_writes(true);
  EXPECT_TRUE(write_moon_place(refusing, {"x", 1, 2}).has_value());
  std::system((std::string("rm -rf ") + folder).c_str());
}

TEST(MoreData, MidsummerAtEightyNorthHasNoSunEvents) {
  const Instant u = make_instant(2026, 6, 21, 12, 0, 0);
  EXPECT_THROW(rise_transit_set(Body::Sun, RiseKind::Transit, 80, 0, std::floor(u)), E_NoRiseSet);
  const MoreDataValues v = more_data_values(u, 80, 0, en);
  EXPECT_EQ(v.sun_rise, "---");
  EXPECT_EQ(v.sun_transit, "---");
  EXPECT_EQ(v.sun_set, "---");
  // The Moon crosses the horizon there on some June days of 2026: the Sun's
  // failure does not touch it.
  int moon_days = 0;
  for (int d = 1; d <= 30; ++d) {
    const MoreDataValues day = more_data_values(make_instant(2026, 6, d, 12, 0, 0), 80, 0, en);
    EXPECT_EQ(day.sun_rise, "---");
    if (day.moon_rise != "---" || day.moon_set != "---") ++moon_days;
  }
  EXPECT_GT(moon_days, 0);
}

TEST(MoreData, EventsAreShownOnlyOnTheirDay) {
  // The Moon rises about 50 minutes later each day, so over a month some
  // first results fall on the next day and some on the day before; every
  // shown value must lie on day d and follow the retry rule.
  int after = 0, before = 0;
  for (int d = 0; d < 60; ++d) {
    const Instant day = make_instant(2026, 3, 1) + d;
    for (RiseKind kind : {RiseKind::Rise, RiseKind::Set, RiseKind::Transit}) {
      const Instant first = rise_transit_set(Body::Moon, kind, 48, -11, day);
      std::optional<Instant> expected = first;
      if (std::floor(first) < day) {
        ++before;
        expected = rise_transit_set(Body::Moon, kind, 48, -11, day + 1);
      }
      if (std::floor(*expected) > day) {
        ++after;
        expected = rise_transit_set(Body::Moon, kind, 48, -11, day - 1);
      }
      if (std::floor(*expected) != day) expected.reset();
      const auto shown = event_on_day(Body::Moon, kind, 48, -11, day);
      ASSERT_EQ(shown.has_value(), expected.has_value()) << d;
      if (shown) {
        EXPECT_EQ(*shown, *expected);
        EXPECT_EQ(std::floor(*shown), day);
      }
    }
  }
  EXPECT_GT(after + before, 0);
  // And the window shows "---" on a day the event misses.
  int misses = 0;
  for (int d = 0; d < 30; ++d) {
    const MoreDataValues v = more_data_values(make_instant(2026, 3, 1, 12, 0, 0) + d, 48, -11, en);
    if (v.moon_rise == "---" || v.moon_set == "---") ++misses;
    EXPECT_NE(v.sun_rise, "---");
  }
  EXPECT_GT(misses, 0);
}

TEST(MoreData, SeasonsPerigeeApogeeAndTheirYear) {
  const MoreDataValues v = more_data_values(make_instant(2026, 12, 11, 12, 0, 0), 48, -11, en);
  EXPECT_EQ(v.spring.substr(10), "20 March 2026");
  EXPECT_EQ(v.summer.substr(10), "21 June 2026");
  EXPECT_EQ(v.autumn.substr(10), "23 September 2026");
  EXPECT_EQ(v.winter.substr(10), "21 December 2026");  // the December solstice of the same year
  EXPECT_NE(v.perigee, v.apogee);
  EXPECT_THROW(more_data_values(make_instant(3001, 1, 1), 0, 0, en), E_OutOfAlgorithRange);
}

TEST(MoreData, EclipsesAndTheirTypes) {
  struct Case {
    int y, m, d;  // the present
    bool solar;
    const char* date;
    const char* type;
  } cases[] = {
      // A new moon 5 days ago with a solar eclipse is still the next one.
      {2024, 4, 13, true, "8 April 2024", "Total"},          {2023, 10, 1, true, "14 October 2023", "Circular"},
      {2023, 4, 1, true, "20 April 2023", "Circular total"}, {2025, 3, 1, true, "29 March 2025", "Partial"},
      {2025, 3, 1, false, "14 March 2025", "Total"},         {2023, 10, 1, false, "28 October 2023", "Partial"},
      {2024, 3, 1, false, "25 March 2024", "Half shadow"},
  };
  for (const auto& c : cases) {
    const MoreDataValues v = more_data_values(make_instant(c.y, c.m, c.d, 12, 0, 0), 0, 0, en);
    SCOPED_TRACE(c.date);
    EXPECT_EQ((c.solar ? v.sun_eclipse : v.moon_eclipse).substr(10), c.date);
    EXPECT_EQ(c.solar ? v.sun_eclipse_type : v.moon_eclipse_type, c.type);
  }
}

}  // namespace
}  // namespace cirrodex::moon
