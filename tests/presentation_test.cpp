// The derived heat index and wind chill, the main icon's condition picture
// and tip, and the task-bar summary.
#include <gtest/gtest.h>

#include <set>

#include "conditions/condition_picture.h"
#include "conditions/derive_readings.h"
#include "conditions/taskbar_summary.h"
#include "platform/fakes/fake_taskbar.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::ParserRig;
using testing::read_fixture;

const std::string kDeg(1, '\xB0');

std::string deg(const std::string& number, const char* unit = " F") { return number + kDeg + unit; }

struct DeriveRig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  Settings settings{store, host, KeyCheck::Strict};
  Readings r;

  DeriveRig(int temperature_f, std::string temperature) {
    r.TemperatureF = temperature_f;
    r.Temperature = std::move(temperature);
  }
  bool repainted() const { return !log.with_prefix("repaint").empty(); }
  bool beeped() const { return !log.with_prefix("beep").empty(); }
};

// --- heat index ---------------------------------------------------------------

TEST(HeatIndex, ComputedFromTemperatureAndHumidity) {
  struct Case {
    int t;
    const char* humidity;
    bool metric;
    std::string expected;
  };
  // clang-format off
  const Case cases[] = {
      {90, "40%", false, deg("91")},          // 90.68
      {59, "40%", false, "N/A"},
      {999, "40%", false, "N/A"},
      {60, "0%", false, deg("56")},           // the lowest computed: 55.95
      {93, "93%", false, deg("140")},         // 139.80: the highest shown
      {93, "94%", false, "n/a"},              // 141.03
      {93, "94%", true, deg("61", " C")},     // the limit applies to the number shown
      {90, "40%", true, deg("33", " C")},
      {90, "n/a", false, deg("87")},          // no digit: humidity 0
      {90, " 45%", false, deg("92")},         // trimmed first
      {70, "100%", false, deg("62")},
      {70, "1234", false, deg("62")},         // three characters, clamped to 100
      {500, "0%", false, deg("0")},           // a negative result is 0
      {500, "0%", true, deg("-18", " C")},
  };
  // clang-format on
  for (const auto& c : cases) {
    DeriveRig rig(c.t, "x");
    rig.r.HeatIndex = "N/A";
    rig.r.Humidity = c.humidity;
    derive_heat_index(rig.r, c.metric, rig.display);
    EXPECT_EQ(rig.r.HeatIndex, c.expected) << c.t << " " << c.humidity << " metric " << c.metric;
    EXPECT_EQ(rig.display.slot("TEXT_HEATINDEX"), text::upper(c.expected)) << c.t << " " << c.humidity;
  }
}

TEST(HeatIndex, OnlyAMissingOrShortValueIsComputed) {
  struct Case {
    std::string before;
    std::string after;
  };
  // The "n/a" of a page without the label stays; the service's "N/A", an
  // empty raw field or a one-character value are replaced.
  // clang-format off
  const Case cases[] = {
      {deg("75", "F"), deg("75", "F")},
      {"n/a", "n/a"},
      {"N/A", deg("91")},
      {"", deg("91")},
      {"7", deg("91")},
  };
  // clang-format on
  for (const auto& c : cases) {
    DeriveRig rig(90, deg("90", "F"));
    rig.r.Humidity = "40%";
    rig.r.HeatIndex = c.before;
    derive_heat_index(rig.r, false, rig.display);
    EXPECT_EQ(rig.r.HeatIndex, c.after) << '"' << c.before << '"';
    const bool computed = c.after != c.before;
    EXPECT_EQ(rig.display.slot("TEXT_HEATINDEX"), computed ? text::upper(c.after) : "<unset>") << c.before;
  }
}

// --- wind chill ---------------------------------------------------------------

enum class Shown {
  Published,   // stored, repainted, slot set
  StoredOnly,  // stored and repainted: "n/a"
  FieldOnly,   // the field changes, nothing is drawn
};

TEST(WindChill, ComputedFromTemperatureAndWind) {
  struct Case {
    int t;
    const char* wind;
    bool metric;
    std::string expected;
    Shown shown;
  };
  const std::string temp30 = deg("30");
  const Case cases[] = {
      {30, "10 mph", false, deg("19"), Shown::Published},  // 18.96
      {30, "5 mph", false, deg("31"), Shown::Published},
      {30, "4 mph", false, temp30, Shown::FieldOnly},     // near calm: the temperature
      {30, "7 mph", false, deg("15"), Shown::Published},  // rounded root 3; the exact root would give 22
      {6, "10 mph", false, deg("-9"), Shown::Published},  // five characters
      {5, "10 mph", false, "n/a", Shown::StoredOnly},     // -11: six characters
      {-5, "10 mph", false, "n/a", Shown::StoredOnly},    // -22
      {30, "NW 10 gusts 20 mph today", false, "n/a", Shown::StoredOnly},  // W = 1020: 746
      {30, "Var. @ 3mph, gust 12", false, "n/a", Shown::StoredOnly},      // 20 characters: W = 312
      {30, "Var. @ 3mph, gusts 12", false, temp30, Shown::FieldOnly},     // 21: only "Var. @ 3mph, gus" counts
      {40, "9 mph", true, deg("-1", " C"), Shown::Published},             // 30 F
      {30, "Calm", false, "n/a", Shown::FieldOnly},
  };
  for (const auto& c : cases) {
    DeriveRig rig(c.t, temp30);
    rig.r.Wind = c.wind;
    rig.r.WindChill = "";
    derive_wind_chill(rig.r, c.metric, rig.display, rig.host);
    EXPECT_EQ(rig.r.WindChill, c.expected) << c.t << " " << c.wind;
    EXPECT_EQ(rig.display.slot("TEXT_WINDCHILL"), c.shown == Shown::Published ? text::upper(c.expected) : "<unset>")
        << c.t << " " << c.wind;
    EXPECT_EQ(rig.repainted(), c.shown != Shown::FieldOnly) << c.t << " " << c.wind;
    EXPECT_FALSE(rig.beeped());
  }
}

TEST(WindChill, OnlyAnEmptyOrOneCharacterValueIsComputed) {
  struct Case {
    int t;
    const char* temperature;
    const char* before;
    std::string after;
  };
  const std::string given = deg("70", "F");
  const Case cases[] = {
      {30, "30F", given.c_str(), given},
      {30, "30F", "n/a", "n/a"},
      {30, "30F", "N/A", "N/A"},
      {30, "30F", "", deg("19")},
      {30, "30F", "-", deg("19")},
      // Without a temperature the field takes the temperature text, even
      // over "N/A"; a value of its own still stays.
      {999, "n/a", "N/A", "n/a"},
      {999, "n/a", "", "n/a"},
      {999, "n/a", given.c_str(), given},
  };
  for (const auto& c : cases) {
    DeriveRig rig(c.t, c.temperature);
    rig.r.Wind = "10 mph";
    rig.r.WindChill = c.before;
    derive_wind_chill(rig.r, false, rig.display, rig.host);
    EXPECT_EQ(rig.r.WindChill, c.after) << c.t << " \"" << c.before << '"';
  }
}

TEST(WindChill, AWindNumberTooBigToReadBeepsAndKeepsTheField) {
  DeriveRig rig(30, "30F");
  rig.r.Wind = "99999999999 mph";
  rig.r.WindChill = "";
  derive_wind_chill(rig.r, false, rig.display, rig.host);
  EXPECT_TRUE(rig.beeped());
  EXPECT_EQ(rig.r.WindChill, "");
  EXPECT_FALSE(rig.repainted());
  EXPECT_EQ(rig.display.slot("TEXT_WINDCHILL"), "<unset>");
}

// --- after a real parse ---------------------------------------------------------

std::string without(std::string doc, const std::string& row) {
  const auto at = doc.find(row);
  EXPECT_NE(at, std::string::npos) << row;
  return doc.erase(at, row.size());
}

TEST(DeriveReadings, AfterTheParser) {
  const std::string page = read_fixture("conditions_page.html");
  const std::string bare = without(without(page, "<tr><td>HeatIndex</td> <td>75&#176;F</td></tr>\n"),
                                   "<tr><td>Windchill</td> <td>70&#176;F</td></tr>\n");
  std::string calm = bare;
  calm.replace(calm.find("From the South at 10 mph"), 24, "South at 10 mph");
  const std::string raw =
      "3:53 PM CDT May 5, 1999|90|||40%|50|South at 10 mph|30.12 in|Sunny|10|6:05 AM CDT|7:45 PM CDT|"
      "a|b|c|d|e|f|Tuscaloosa|Alabama|";
  struct Case {
    const char* name;
    std::string doc;
    const char* datasource;
    const char* metric;
    std::string heat_index, wind_chill;
  };
  const Case cases[] = {
      {"page values are kept", page, "1", "n", deg("75", "F"), deg("70", "F")},
      // Without the labels the heat index stays "n/a". The wind text "From
      // the South @ 10mph" is 22 characters long, so only its first 16 count,
      // and they hold no digit.
      {"page without the labels", bare, "1", "n", "n/a", "n/a"},
      // "South @ 10 mph" at 72 F.
      {"short wind text", calm, "1", "n", "n/a", deg("69")},
      {"short wind text, metric", calm, "1", "y", "n/a", deg("21", " C")},
      // Empty raw fields: the heat index is computed, the wind chill field
      // already reads "n/a".
      {"raw with empty fields", raw, "2", "n", deg("91"), "n/a"},
  };
  for (const auto& c : cases) {
    ParserRig rig;
    rig.settings.set("Datasource", c.datasource);
    rig.settings.set("Metric", c.metric);
    rig.parse(c.doc);
    derive_readings(rig.readings, rig.settings, rig.display, rig.host);
    EXPECT_EQ(rig.readings.HeatIndex, c.heat_index) << c.name;
    EXPECT_EQ(rig.readings.WindChill, c.wind_chill) << c.name;
    EXPECT_EQ(rig.display.slot("TEXT_HEATINDEX"), text::upper(c.heat_index)) << c.name;
  }
}

// --- condition picture -------------------------------------------------------------

TEST(ConditionPicture, FirstMatchingGroupWins) {
  struct Case {
    const char* conditions;
    int day, night;
  };
  const Case cases[] = {
      {"Sunny", 14, 15},
      {"Clear", 14, 15},
      {"Mostly Cloudy", 3, 17},
      {"Overcast", 3, 17},
      {"Partly Cloudy", 4, 17},  // before the plain cloud group
      {"Scattered Clouds", 4, 17},
      {"Cloudy", 12, 12},
      {"Haze", 1, 16},
      {"Fog", 1, 16},
      {"Light Snow Fog", 1, 16},  // haze is tested before snow
      {"Snow", 10, 10},
      {"Thunderstorms and Rain", 2, 18},
      {"Light Rain", 9, 19},
      {"Light Rain Mist", 9, 19},  // rain before drizzle
      {"Mist", 5, 20},
      {"DRIZZLE", 5, 20},
      {"Windy", 0, 0},
      {"N/A", 0, 0},
      {"", 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(condition_picture(c.conditions, 12), c.day) << c.conditions;
    EXPECT_EQ(condition_picture(c.conditions, 0), c.night) << c.conditions;
  }
}

TEST(ConditionPicture, NightRunsFromSevenInTheEveningToFiveInTheMorning) {
  const std::pair<int, int> cases[] = {{0, 15}, {4, 15}, {5, 14}, {12, 14}, {18, 14}, {19, 15}, {23, 15}};
  for (const auto& [hour, picture] : cases) EXPECT_EQ(condition_picture("Clear", hour), picture) << hour;
}

std::uint32_t big_endian(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

TEST(ConditionPicture, BuiltInPicturesAreSixteenPixelPngs) {
  std::set<std::string_view> seen;
  for (int i = 0; i < kConditionPictureCount; ++i) {
    const auto png = condition_picture_png(i);
    ASSERT_TRUE(png) << i;
    ASSERT_GT(png->size(), 33u) << i;
    EXPECT_EQ(png->substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8)) << i;
    EXPECT_EQ(png->substr(12, 4), "IHDR") << i;
    EXPECT_EQ(big_endian(*png, 16), 16u) << i;
    EXPECT_EQ(big_endian(*png, 20), 16u) << i;
    EXPECT_TRUE(seen.insert(*png).second) << "picture " << i << " repeats another";
  }
  EXPECT_FALSE(condition_picture_png(-1));
  EXPECT_FALSE(condition_picture_png(kConditionPictureCount));
}

TEST(TaskbarSummary, OneLineFromCaptionAndReadingsGoesToTheChannel) {
  fakes::CallLog log;
  fakes::FakeDisplay display{log};
  fakes::FakeTaskbarChannel channel{log};
  display.set_caption("Cirrodex - Tuscaloosa, AL");
  Readings r;
  r.Conditions = "Partly Cloudy";
  r.Temperature = deg("72", "F");
  r.Humidity = "45%";
  r.Wind = "From the South @ 10mph";
  log.entries.clear();
  send_taskbar_summary(display, r, channel);
  EXPECT_EQ(log.entries, std::vector<std::string>{"taskbar: Cirrodex - Tuscaloosa, AL - Partly Cloudy - 72" + kDeg +
                                                  "F / Humidity: 45% - Wind: From the South @ 10mph"});
}

}  // namespace
}  // namespace cirrodex
