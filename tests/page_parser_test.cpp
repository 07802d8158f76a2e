// The page form of the conditions parser, end to end through the fakes.
#include <gtest/gtest.h>

#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::ParserRig;
using testing::read_fixture;
using Calls = std::vector<std::string>;

const std::string kDeg(1, '\xB0');

// A page with the given rows, each "Label value", wrapped as the service
// wraps them, with the title, the Updated/Observed lines and a footer.
std::string page(const std::vector<std::string>& rows, const std::string& updated = "3:53 PM CDT on May 5, 1999") {
  std::string doc = "<html><head><title>Conditions: Tuscaloosa, Alabama Weather Forecast</title></head><body>\n";
  doc += "<p>Updated: " + updated + "</p>\n<p>Observed at Tuscaloosa Airport</p>\n";
  for (const auto& r : rows) doc += "<p>" + r + "</p>\n";
  doc += "<p>" + std::string(120, '.') + "</p></body></html>";
  return doc;
}

TEST(PageParser, FullPageInEnglishUnits) {
  ParserRig rig;
  rig.request("Tuscaloosa, AL");
  rig.parse(read_fixture("conditions_page.html"));
  const Readings& r = rig.readings;
  EXPECT_EQ(r.LocationName, "Tuscaloosa, Alabama");
  EXPECT_EQ(r.ConditionTime, "3:53 PM CDT May 5");
  EXPECT_EQ(r.Temperature, "72" + kDeg + "F");
  EXPECT_EQ(r.TemperatureF, 72);
  EXPECT_EQ(r.HeatIndex, "75" + kDeg + "F");
  EXPECT_EQ(r.Humidity, "45%");
  EXPECT_EQ(r.Dewpoint, "50" + kDeg + "F");
  EXPECT_EQ(r.WindChill, "70" + kDeg + "F");
  EXPECT_EQ(r.Wind, "From the South @ 10mph");  // over 22 characters: " mph" loses its blank
  EXPECT_EQ(r.Pressure, "30.12 in");
  EXPECT_EQ(r.Conditions, "Partly Cloudy");
  EXPECT_EQ(r.Visibility, "10 miles");
  EXPECT_EQ(r.Sunrise, "6:05 AM CDT");
  EXPECT_EQ(r.Sunset, "7:45 PM CDT");
  EXPECT_EQ(r.MoonRise, "11:02 PM CDT");
  EXPECT_EQ(r.MoonSet, "9:31 AM CDT");

  // Reading texts go to their slots in capitals, the status line unchanged.
  EXPECT_EQ(rig.display.slot("TEXT_CONDITIONS"), "PARTLY CLOUDY");
  EXPECT_EQ(rig.display.slot("TEXT_WIND"), "FROM THE SOUTH @ 10MPH");
  EXPECT_EQ(rig.display.slot("TEXT_CONDTIME"), "3:53 PM CDT MAY 5");
  EXPECT_EQ(rig.display.slot("TEXT_LOCATION"), "TUSCALOOSA, AL");
  EXPECT_EQ(rig.display.caption(), "Cirrodex - Tuscaloosa, AL");
  EXPECT_EQ(rig.host_calls(), (Calls{"status: ...parsing data...", "status: Thank you for using Cirrodex..."}));
}

TEST(PageParser, FullPageInMetricUnits) {
  ParserRig rig;
  rig.settings.set("Metric", "y");
  rig.parse(read_fixture("conditions_page.html"));
  const Readings& r = rig.readings;
  EXPECT_EQ(r.Temperature, "22" + kDeg + " C");
  EXPECT_EQ(r.TemperatureF, 72);  // the conversions of the other fields leave it alone
  EXPECT_EQ(r.HeatIndex, "24" + kDeg + " C");
  EXPECT_EQ(r.Dewpoint, "10" + kDeg + " C");
  EXPECT_EQ(r.WindChill, "21" + kDeg + " C");
  EXPECT_EQ(rig.display.slot("TEXT_TEMP"), "22" + kDeg + " C");
}

TEST(PageParser, PublishesInOrderAndClearsFirst) {
  ParserRig rig;
  rig.parse(read_fixture("conditions_page.html"));
  const Calls slots = rig.log.with_prefix("slot ");
  ASSERT_GE(slots.size(), 3u);
  EXPECT_EQ(slots[0], "slot TEXT_CONDITIONS=");  // cleared before anything else
  EXPECT_EQ(slots[1], "slot TEXT_CONDTIME=3:53 PM CDT MAY 5");
  EXPECT_EQ(slots.back(), "slot TEXT_LOCATION=");  // no requested location, automatic: no preset title
}

struct FailureCase {
  const char* name;
  std::string doc;
  Calls calls;
};

TEST(PageParser, FailuresReportAndFinish) {
  const Calls head{"status: ...parsing data..."};
  const Calls tail{"status: Thank you for using Cirrodex..."};
  auto with = [&](Calls mid) {
    Calls all = head;
    all.insert(all.end(), mid.begin(), mid.end());
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const FailureCase cases[] = {
      {"no Updated", "<p>nothing to see here</p>",
       with({"beep", "status: Warning: (P2nc2) occurred parsing data.", "pause: 3000"})},
      {"no Observed", page({}).replace(page({}).find("Observed"), 8, "Seen at."),
       with({"beep", "status: Error (P2) occurred parsing data.", "pause: 3500"})},
      {"Observed at position 1", "Observed Updated: " + std::string(200, 'x'),
       with({"beep", "status: Error (P2) occurred parsing data.", "pause: 3500"})},
      {"no Temperature", page({"Humidity 45%"}),
       with({"beep", "status: Error (#P3) occurred parsing data.", "pause: 2500"})},
      {"no unit", page({"Temperature 72 degrees", "Humidity 45%"}),
       with({"beep", "status: Error (#P3a) parsing data.", "pause: 2500"})},
      {"tokenizer error", page({"Temperature 72&#176;F"}) + "<!-- open",
       with({"status: ERROR OCCURRED PARSING CONDITIONS. (#IKPF1)", "pause: 2000"})},
  };
  for (const auto& c : cases) {
    ParserRig rig;
    rig.parse(c.doc);
    EXPECT_EQ(rig.host_calls(), c.calls) << c.name;
  }
}

TEST(PageParser, EarlyEndKeepsFieldsCleared) {
  ParserRig rig;
  rig.parse(read_fixture("conditions_page.html"));
  rig.parse(page({"Humidity 45%"}));  // no Temperature
  EXPECT_EQ(rig.readings.ConditionTime, "3:53 PM CDT May 5");
  EXPECT_EQ(rig.readings.Temperature, "");
  EXPECT_EQ(rig.readings.Humidity, "");
  EXPECT_EQ(rig.readings.TemperatureF, 72);             // kept until a conversion sets it
  EXPECT_EQ(rig.display.slot("TEXT_HUMIDITY"), "45%");  // the window keeps the last texts
}

TEST(PageParser, TemperatureWithoutUnitUsesWholeText) {
  ParserRig rig;
  rig.parse(page({"Temperature 72 degrees", "Humidity 45%"}));
  // The whole text begins with "Updated:", which holds no digit.
  EXPECT_EQ(rig.readings.Temperature, "n/a");
  EXPECT_EQ(rig.readings.TemperatureF, 999);
  EXPECT_EQ(rig.readings.Humidity, "45%");  // the parse goes on
}

TEST(PageParser, OverlongTemperatureIsDropped) {
  ParserRig rig;
  // "Updated" without the colon keeps the text from the start, which holds digits.
  std::string doc = "<p>12 Updated 1 Observed 2 Temperature 1 x</p>" + std::string(150, '.');
  rig.parse(doc);
  const Calls calls = rig.host_calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "status: Warning - (P2nc) occurred parsing data."), calls.end());
  EXPECT_EQ(rig.readings.Temperature, "");
}

TEST(PageParser, ConditionTimeRules) {
  const std::pair<std::string, std::string> cases[] = {
      {"3:53 PM CDT on May 5, 1999", "3:53 PM CDT May 5"}, {"12:00 AM EST", "12:00 AM EST"},
      {", leading comma stays", ", leading comma stays"},  {std::string(45, 'x'), std::string(30, 'x')},
      {std::string(40, 'y'), std::string(40, 'y')},
  };
  for (const auto& [updated, expected] : cases) {
    ParserRig rig;
    rig.parse(page({"Temperature 72F"}, updated));
    EXPECT_EQ(rig.readings.ConditionTime, expected) << updated;
  }
}

TEST(PageParser, WindText) {
  const std::pair<std::string, std::string> cases[] = {
      {"Wind Variable at 3 mph", "Var. @ 3 mph"},               // 19 characters: " mph" stays
      {"Wind From the WNW at 12 mph", "From the WNW @ 12mph"},  // over 22
      {"Wind Calm", "Calm"},
      {"Wind Wind at 5", "~ @ 5"},
  };
  for (const auto& [row, expected] : cases) {
    ParserRig rig;
    rig.parse(page({"Temperature 50F", row, "Pressure 30.00 in"}));
    EXPECT_EQ(rig.readings.Wind, expected) << row;
  }
}

TEST(PageParser, WindLabelAfterWindchill) {
  ParserRig rig;
  rig.parse(page({"Temperature 20F", "Windchill 10F", "Wind NW at 5 mph", "Pressure 30.00 in"}));
  EXPECT_EQ(rig.readings.WindChill, "10F");
  EXPECT_EQ(rig.readings.Wind, "NW @ 5 mph");
  EXPECT_EQ(rig.display.slot("TEXT_WINDCHILL"), "10F");
}

TEST(PageParser, NoWindchillLabelLeavesItEmpty) {
  ParserRig rig;
  rig.parse(page({"Temperature 20F", "Wind NW at 5 mph", "Pressure 30.00 in"}));
  EXPECT_EQ(rig.readings.WindChill, "");
  EXPECT_EQ(rig.readings.HeatIndex, "n/a");
  EXPECT_EQ(rig.readings.Dewpoint, "n/a");
  EXPECT_EQ(rig.display.slot("TEXT_WINDCHILL"), "");
}

TEST(PageParser, ConditionsWithoutVisibility) {
  const std::pair<std::string, std::string> cases[] = {
      {"Conditions Light Rain Updated later", "Light Rain"},
      {"Conditions Fog Add to favourites", "Fog"},
      // Nothing ends it: exactly the 19 characters at t+11 .. t+29.
      {"Conditions Thunderstorms and heavy rain all day", "Thunderstorms and h"},
  };
  for (const auto& [row, expected] : cases) {
    ParserRig rig;
    rig.parse(page({"Temperature 50F", row}));
    EXPECT_EQ(rig.readings.Conditions, expected) << row;
  }
}

TEST(PageParser, EarlyConditionsHeadingBecomesStats) {
  ParserRig rig;
  // The label "Conditions" would otherwise be found inside the heading.
  rig.parse(page({"Weather and Conditions Overview", "Temperature 50F", "Conditions Clear", "Visibility 10 miles"}));
  EXPECT_EQ(rig.readings.Conditions, "Clear");
}

TEST(PageParser, ConditionsMissingShowsCapitalNA) {
  ParserRig rig;
  rig.parse(page({"Temperature 50F"}));
  EXPECT_EQ(rig.readings.Conditions, "N/A");
  EXPECT_EQ(rig.display.slot("TEXT_CONDITIONS"), "N/A");
}

TEST(PageParser, UnmatchedAngleBracketEndsTheText) {
  ParserRig rig;
  // "a < b" is character data; the clean-up pass drops everything after it.
  rig.parse(page({"Humidity 45%", "note: a < b", "Temperature 50F"}));
  const Calls calls = rig.host_calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "status: Error (#P3) occurred parsing data."), calls.end());
}

TEST(PageParser, EntitiesAndControlCodes) {
  ParserRig rig;
  rig.parse(page({"Temperature 40&#176;F", "Humidity 100&#037;", "Pressure 29.92_in Conditions Haze"}));
  EXPECT_EQ(rig.readings.Temperature, "40" + kDeg + "F");
  EXPECT_EQ(rig.readings.Humidity, "100" + kDeg);  // any other "#" entity reads as a degree sign
  EXPECT_EQ(rig.readings.Pressure, "29.92 in");    // "_" becomes a blank
}

TEST(PageParser, SkyTimes) {
  ParserRig rig;
  rig.parse(page({"Temperature 50F", "Sunrise 6:00  AM", "Sunset 8:00 PM", "Moon Rise 1:00 AM"}));
  EXPECT_EQ(rig.readings.Sunrise, "6:00 AM");
  EXPECT_EQ(rig.readings.Sunset, "8:00 PM");
  EXPECT_EQ(rig.readings.MoonRise, "");  // its closing label "Moon Set" is absent
  EXPECT_EQ(rig.readings.MoonSet, "n/a");
}

TEST(PageParser, HostileBytesDoNotDerail) {
  ParserRig rig;
  std::string junk("\0\x01\xFF\xB0<>&#;", 10);
  std::string doc = page({"Temperature 72F", "Humidity 45%"});
  doc.insert(doc.find("Humidity"), junk);
  rig.parse(doc);
  EXPECT_EQ(rig.readings.Temperature, "72F");
  EXPECT_EQ(rig.readings.TemperatureF, 72);

  ParserRig huge;
  std::string big = read_fixture("conditions_page.html");
  big.insert(big.find("<p class=\"footer\">"), std::string(8 << 20, 'z'));
  huge.parse(big);
  EXPECT_EQ(huge.readings.Temperature, "72" + kDeg + "F");
  EXPECT_EQ(huge.readings.MoonSet, "9:31 AM CDT");
}

TEST(PageParser, MarkersAtTheVeryStart) {
  ParserRig rig;
  rig.parse("Temperature Updated:Observed");
  EXPECT_EQ(rig.host_calls()[1], "beep");
  ParserRig rig2;
  rig2.parse("Weather ForecastUpdated:x Observed Temperature 1F" + std::string(120, ' '));
  EXPECT_EQ(rig2.readings.LocationName, "");
  EXPECT_EQ(rig2.readings.Temperature, "1F");
}

TEST(PageParser, LongRequestedLocationCutsTheCaption) {
  ParserRig rig;
  const std::string loc = "Llanfairpwllgwyngyllgogerychwyrndrobwll, UK (O)";
  ASSERT_GT(loc.size(), 40u);
  rig.request(loc);
  rig.parse(read_fixture("conditions_page.html"));
  EXPECT_EQ(rig.display.caption(), "Cirrodex - " + loc.substr(0, 20));
  EXPECT_EQ(rig.ctx.requested, loc.substr(0, 20));
}

TEST(PageParser, HandFetchAddsPreset) {
  ParserRig rig;
  rig.request("Tuscaloosa, AL");
  rig.parse(read_fixture("conditions_page.html"), /*automatic=*/false);
  EXPECT_EQ(rig.settings.read_setting("Locations", "loc0"), "Tuscaloosa, AL");
  EXPECT_EQ(rig.menu.entry(0).caption, "Tuscaloosa, AL");
  EXPECT_TRUE(rig.menu.entry(0).visible);
  const Calls msgs = rig.log.with_prefix("message: ");
  EXPECT_EQ(msgs, (Calls{"message: Location added to Locations menu: Tuscaloosa, AL"}));

  // The chooser's fetch has no requested location: the caption takes the preset title.
  ParserRig chooser;
  chooser.ctx.zip = "35401";
  chooser.parse(read_fixture("conditions_page.html"), /*automatic=*/false);
  EXPECT_EQ(chooser.display.caption(), "Cirrodex - 35401 - Tuscaloosa, AL");
  EXPECT_EQ(chooser.ctx.state_or_country, "AL");
}

}  // namespace
}  // namespace cirrodex
