// The raw "|" form of the conditions parser.
#include <gtest/gtest.h>

#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::ParserRig;
using testing::read_fixture;
using Calls = std::vector<std::string>;

const std::string kDeg(1, '\xB0');

struct RawRig : ParserRig {
  RawRig() { settings.set("Datasource", "2"); }
};

TEST(RawParser, FullRecord) {
  RawRig rig;
  rig.parse(read_fixture("conditions_raw.txt"));
  const Readings& r = rig.readings;
  EXPECT_EQ(r.ConditionTime, "3:53 PM CDT May 5");
  EXPECT_EQ(r.Temperature, "72" + kDeg + " F");
  EXPECT_EQ(r.TemperatureF, 72);
  EXPECT_EQ(r.WindChill, "70");
  EXPECT_EQ(r.HeatIndex, "75");
  EXPECT_EQ(r.Humidity, "45%");
  EXPECT_EQ(r.Dewpoint, "50" + kDeg + " F");
  EXPECT_EQ(r.Wind, "From the South at 10 mph");
  EXPECT_EQ(r.Pressure, "30.12 in");
  EXPECT_EQ(r.Conditions, "Partly Cloudy");
  EXPECT_EQ(r.Visibility, "10 miles");
  EXPECT_EQ(r.Sunrise, "6:05 AM CDT");
  EXPECT_EQ(r.Sunset, "7:45 PM CDT");
  EXPECT_EQ(r.LocationName, "Tuscaloosa, Alabama");
  EXPECT_EQ(r.MoonRise, "N/A");
  EXPECT_EQ(r.MoonSet, "N/A");
  EXPECT_EQ(rig.display.slot("TEXT_MOONRISE"), "<unset>");  // the fields only, not their slots
  EXPECT_EQ(rig.display.slot("TEXT_CONDITIONS"), "PARTLY CLOUDY");
  EXPECT_EQ(rig.host_calls(), (Calls{"status: ...parsing data...", "status: Thank you for using Cirrodex..."}));
}

TEST(RawParser, Metric) {
  RawRig rig;
  rig.settings.set("Metric", "y");
  rig.parse(read_fixture("conditions_raw.txt"));
  EXPECT_EQ(rig.readings.Temperature, "22" + kDeg + " C");
  EXPECT_EQ(rig.readings.TemperatureF, 72);
  EXPECT_EQ(rig.readings.WindChill, "21" + kDeg + " C");
  EXPECT_EQ(rig.readings.HeatIndex, "24" + kDeg + " C");
  EXPECT_EQ(rig.readings.Dewpoint, "10" + kDeg + " C");
}

TEST(RawParser, EmptyAndMissingValues) {
  RawRig rig;
  rig.parse("9:00 AM EST Jan 1, 2001|N/A||N/A|||Calm|30 in|Clear||" + std::string(20, 'x') + "|6 PM|||||||City|State|");
  const Readings& r = rig.readings;
  EXPECT_EQ(r.Temperature, "N/A" + kDeg + " F");  // the field as it stands, with the unit
  EXPECT_EQ(r.TemperatureF, 999);
  EXPECT_EQ(r.WindChill, "n/a");
  EXPECT_EQ(rig.display.slot("TEXT_WINDCHILL"), "N/A");
  EXPECT_EQ(r.HeatIndex, "N/A");
  EXPECT_EQ(r.Dewpoint, kDeg + " F");
  EXPECT_EQ(r.Visibility, " miles");
  EXPECT_EQ(r.Sunrise, "");  // 16 characters or more are not stored
  EXPECT_EQ(r.Sunset, "6 PM");
  EXPECT_EQ(r.LocationName, "City, State");
}

TEST(RawParser, PipeBeforeCommaTakesWholeFirstField) {
  RawRig rig;
  // The first field runs through its "|"; seven more characters are skipped.
  rig.parse("9:00 AM|skip7!|55|a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r,");
  EXPECT_EQ(rig.readings.ConditionTime, "9:00 AM|");
  EXPECT_EQ(rig.readings.Temperature, "55" + kDeg + " F");
}

TEST(RawParser, Failures) {
  struct Case {
    const char* name;
    std::string doc;
    Calls calls;
  };
  const Case cases[] = {
      {"no bar", "no fields here, at all", {"beep", "status: Error - (S2P2nc_ds2a) parsing data.", "pause: 2000"}},
      {"bar first", "|72|", {"beep", "status: Error - (S2P2nc_ds2a) parsing data.", "pause: 2000"}},
      {"no comma", "9 AM|72|", {"beep", "status: Error (#S2P2_ds2) parsing data...", "pause: 2500"}},
      {"comma first", ",9 AM|72|", {"beep", "status: Error (#S2P2_ds2) parsing data...", "pause: 2500"}},
      {"field 2 missing",
       "9 AM, 2001|72|70",
       {"beep", "status: Warning - (P2nc_ds2) occurred parsing field data.", "pause: 1500"}},
  };
  for (const auto& c : cases) {
    RawRig rig;
    rig.parse(c.doc);
    Calls expected{"status: ...parsing data..."};
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    expected.push_back("status: Thank you for using Cirrodex...");
    EXPECT_EQ(rig.host_calls(), expected) << c.name;
    EXPECT_EQ(rig.log.entries[rig.log.entries.size() - 3], "repaint") << c.name;  // the window is repainted
  }
}

TEST(RawParser, UncheckedFieldsWarnButGoOn) {
  RawRig rig;
  // Ten fields and no more: the unchecked reads 11 to 17 each warn, field 18 ends it.
  rig.parse("9 AM, 2001|72|70|75|45%|50|Calm|30 in|Clear|10|6 AM|");
  const Calls warnings = rig.log.with_prefix("status: Warning - (P2nc_ds2)");
  EXPECT_EQ(warnings.size(), 8u);
  EXPECT_EQ(rig.readings.Sunrise, "6 AM");
  EXPECT_EQ(rig.readings.LocationName, "n/a");  // never reached
}

}  // namespace
}  // namespace cirrodex
