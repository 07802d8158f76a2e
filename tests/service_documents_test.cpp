// The service's conditions documents, read back by the program's own parser:
// the page form (Datasource unset) and the raw form (Datasource "2"), each in
// Fahrenheit and with Metric "y", must give exactly the readings the report
// and the place mean.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stdexcept>

#include "conditions/html_text.h"
#include "service/documents.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::ParserRig;
using Calls = std::vector<std::string>;

const std::string kDeg(1, '\xB0');
const Calls kQuietParse{"status: ...parsing data...", "status: Thank you for using Cirrodex..."};

// What a document means, in the program's units, worked out by hand from
// the report (NWS formulas for heat index and wind chill, the Magnus form
// for humidity).
struct Meaning {
  std::string condition_time;
  std::optional<int> temp_f;
  std::optional<int> heat_index_f;
  std::optional<int> humidity;
  std::optional<int> dewpoint_f;
  std::optional<int> wind_chill_f;
  std::string wind_page;  // after the page parser's abbreviations ("at" -> "@", long texts lose " mph"'s blank)
  std::string wind_raw;   // the raw form keeps the text as written
  std::string pressure;
  std::string conditions;
  std::string visibility_page;
  std::string visibility_raw;
};

struct Case {
  const char* name;
  std::string metar;
  std::string place, city, region, icao, station, observed;
  std::string moonrise;
  Meaning m;
};

const Case kCases[] = {
    {"normal",
     "KORD 111951Z 18009KT 10SM FEW045 SCT250 22/12 A3012 RMK AO2 SLP208 T02220122",
     "Chicago, Illinois",
     "Chicago",
     "Illinois",
     "KORD",
     "Chicago O'Hare International Airport",
     "2:51 PM CDT on June 11, 2026",
     "11:02 PM CDT",
     {"2:51 PM CDT June 11", 72, std::nullopt, 53, 54, std::nullopt, "From the South @ 10mph",
      "From the South at 10 mph", "30.12 in", "Partly Cloudy", "10 miles", "10"}},
    {"cold with wind chill",
     "KMSP 121553Z 31018G27KT 10SM FEW030 M18/M24 A3041 RMK AO2 SLP321 T11781239",
     "Minneapolis, Minnesota",
     "Minneapolis",
     "Minnesota",
     "KMSP",
     "Minneapolis-St Paul International Airport",
     "9:53 AM CST on December 12, 2026",
     "11:02 PM CST",
     // -11 °F is five characters: the parser keeps four of them.
     {"9:53 AM CST December 12", 0, std::nullopt, 59, -11, -22, "From the NW @ 21mph gusts 31",
      "From the NW at 21 mph gusts 31", "30.41 in", "A Few Clouds", "10 miles", "10"}},
    {"hot with heat index",
     "KIAH 122053Z 17012KT 10SM FEW040 SCT250 35/24 A2997 RMK AO2 SLP146 T03500239",
     "Houston, Texas",
     "Houston",
     "Texas",
     "KIAH",
     "Houston Intercontinental Airport",
     "3:53 PM CDT on July 12, 2026",
     "11:02 PM CDT",
     {"3:53 PM CDT July 12", 95, 107, 53, 75, std::nullopt, "From the South @ 14mph", "From the South at 14 mph",
      "29.97 in", "Partly Cloudy", "10 miles", "10"}},
    // Desert air: a one-figure humidity, and a heat index below the temperature.
    {"hot and dry",
     "KPHX 122251Z 25012KT 10SM FEW200 41/M12 A2985 RMK AO2 SLP098 T04061122",
     "Phoenix, Arizona",
     "Phoenix",
     "Arizona",
     "KPHX",
     "Phoenix Sky Harbor International Airport",
     "3:51 PM MST on June 12, 2026",
     "11:02 PM MST",
     {"3:51 PM MST June 12", 105, 96, 3, 10, std::nullopt, "From the WSW @ 14mph", "From the WSW at 14 mph", "29.85 in",
      "A Few Clouds", "10 miles", "10"}},
    {"calm, half a mile in fog",
     "KSEA 121553Z 00000KT 1/2SM FG VV002 08/08 A3001 RMK AO2 SLP164 T00830078",
     "Seattle, Washington",
     "Seattle",
     "Washington",
     "KSEA",
     "Seattle-Tacoma International Airport",
     "7:53 AM PST on December 12, 2026",
     "11:02 PM PST",
     {"7:53 AM PST December 12", 47, std::nullopt, 97, 46, std::nullopt, "Calm", "Calm", "30.01 in", "Fog", "1/2 mi",
      "1/2"}},
    {"variable wind",
     "KDEN 121853Z VRB05KT 10SM SCT080 BKN150 18/M06 A3006 RMK AO2 SLP138 T01831061",
     "Denver, Colorado",
     "Denver",
     "Colorado",
     "KDEN",
     "Denver International Airport",
     "11:53 AM MST on December 12, 2026",
     "11:02 PM MST",
     {"11:53 AM MST December 12", 65, std::nullopt, 18, 21, std::nullopt, "Var. @ 6 mph", "Variable at 6 mph",
      "30.06 in", "Mostly Cloudy", "10 miles", "10"}},
    {"gusts",
     "KDFW 121853Z 20020G32KT 10SM BKN040 27/16 A2990 RMK AO2 T02670161",
     "Dallas, Texas",
     "Dallas",
     "Texas",
     "KDFW",
     "Dallas-Fort Worth International Airport",
     "12:53 PM CST on December 12, 2026",
     "11:02 PM CST",
     {"12:53 PM CST December 12", 80, 81, 52, 61, std::nullopt, "From the SSW @ 23mph gusts 37",
      "From the SSW at 23 mph gusts 37", "29.90 in", "Mostly Cloudy", "10 miles", "10"}},
    {"missing temperature and time",
     "K1V4 121556Z AUTO 27008KT 10SM CLR A3002 RMK AO2",
     "St Johnsbury, Vermont",
     "St Johnsbury",
     "Vermont",
     "K1V4",
     "Saint Johnsbury, Fairbanks Museum",
     "",
     "11:02 PM EST",
     // 22 characters and the line break after them: over 22, so "mph" loses its blank.
     {"N/A", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "From the West @ 9mph",
      "From the West at 9 mph", "30.02 in", "Clear", "10 miles", "10"}},
    {"missing pressure",
     "KSFO 121556Z 28015KT 10SM FEW008 15/11 RMK AO2 SLP162 A3004 T01500111",
     "San Francisco, California",
     "San Francisco",
     "California",
     "KSFO",
     "San Francisco International Airport",
     "7:56 AM PST on December 12, 2026",
     "11:02 PM PST",
     {"7:56 AM PST December 12", 59, std::nullopt, 78, 52, std::nullopt, "From the West @ 17mph",
      "From the West at 17 mph", "N/A", "A Few Clouds", "10 miles", "10"}},
    {"CAVOK",
     "METAR LFPO 121530Z 22008KT CAVOK 18/07 Q1019 NOSIG",
     "Paris, France",
     "Paris",
     "France",
     "LFPO",
     "Paris-Orly",
     "4:30 PM CET on December 12, 2026",
     "11:02 PM CET",
     {"4:30 PM CET December 12", 64, std::nullopt, 49, 45, std::nullopt, "From the SW @ 9 mph", "From the SW at 9 mph",
      "30.09 in", "Clear", "6+ miles", "6+"}},
    // 21 characters and the line break after them: not over 22, the blank stays.
    {"fractional visibility",
     "SPECI KBOS 121514Z 04018KT 1 1/2SM -SN BR OVC008 M01/M02 A2978 RMK AO2 P0002 T10061017",
     "Boston, Massachusetts",
     "Boston",
     "Massachusetts",
     "KBOS",
     "Boston Logan International Airport",
     "10:14 AM EST on December 12, 2026",
     "11:02 PM EST",
     {"10:14 AM EST December 12", 31, std::nullopt, 92, 29, 18, "From the NE @ 21 mph", "From the NE at 21 mph",
      "29.78 in", "Light Snow", "1 1/2 mi", "1 1/2"}},
    {"abroad with Q pressure",
     "METAR EGLL 121520Z 24012KT 9999 FEW035 11/06 Q1018 NOSIG",
     "London, United Kingdom",
     "London",
     "United Kingdom",
     "EGLL",
     "London Heathrow",
     "3:20 PM GMT on December 12, 2026",
     "11:02 PM GMT",
     {"3:20 PM GMT December 12", 52, std::nullopt, 71, 43, std::nullopt, "From the WSW @ 14mph",
      "From the WSW at 14 mph", "30.06 in", "A Few Clouds", "6+ miles", "6+"}},
    {"long station name full of labels",
     "KBDL 121551Z 35010KT 10SM FEW250 05/M07 A3025 RMK AO2",
     "Windsor Locks, Connecticut",
     "Windsor Locks",
     "Connecticut",
     "KBDL",
     "Windsor Locks, Bradley International Airport - Sunrise Sunset Moon Rise Moon Set Moon Phase Visibility "
     "Pressure Humidity Dewpoint Temperature HeatIndex Windchill Conditions Updated Observed Weather Forecast "
     "End of Forecast Other Weather Links Moon_Rise Test Station",
     "10:51 AM EST on December 12, 2026",
     "11:02 PM EST",
     {"10:51 AM EST December 12", 41, std::nullopt, 42, 19, 34, "From the North @ 12mph", "From the North at 12 mph",
      "30.25 in", "A Few Clouds", "10 miles", "10"}},
    {"Latin-1 place, metres, no moonrise",
     "METAR LSZH 121520Z 05004KT 6000 FEW045 M02/M05 Q1031 NOSIG",
     "Z\xFCrich, Switzerland",
     "Z\xFCrich",
     "Switzerland",
     "LSZH",
     "Z\xFCrich-Kloten",
     "4:20 PM CET on December 12, 2026",
     "",
     {"4:20 PM CET December 12", 28, std::nullopt, 80, 23, 23, "From the NE @ 5 mph", "From the NE at 5 mph",
      "30.45 in", "A Few Clouds", "3.7 mi", "3.7"}},
    {"nothing observed",
     "KXYZ 121553Z AUTO /////KT ////SM ////// ///// A//// RMK AO2",
     "Nowhere, Nevada",
     "Nowhere",
     "Nevada",
     "KXYZ",
     "Nowhere Field",
     "9:53 AM PST on December 12, 2026",
     "",
     {"9:53 AM PST December 12", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "N/A", "N/A",
      "N/A", "N/A", "N/A", "N/A"}},
};

const Case& case_named(std::string_view name) {
  for (const Case& c : kCases)
    if (c.name == name) return c;
  throw std::logic_error("no case " + std::string(name));
}

ConditionsReport report_for(const Case& c) {
  const MetarResult r = decode_metar(c.metar);
  EXPECT_TRUE(r.ok()) << c.name << ": " << r.error;
  ConditionsReport rep;
  rep.place_name = c.place;
  rep.city = c.city;
  rep.state_or_country = c.region;
  rep.station_icao = c.icao;
  rep.station_name = c.station;
  rep.observed = c.observed;
  if (r.ok()) rep.metar = *r.metar;
  rep.sunrise = "7:15 AM CST";
  rep.sunset = "4:20 PM CST";
  rep.moonrise = c.moonrise;
  rep.moonset = "12:44 PM CST";
  rep.moon_phase = "Waning Gibbous";
  rep.forecast =
      "TONIGHT...Clear. Lows around 10. Wind chill values as low as zero.\n"
      "Temperature 99F Humidity 99% Conditions Sunny Visibility 99 miles Sunset soon.\n"
      "<script>alert(1)</script> & more. End of Forecast? Other Weather Links!\n";
  return rep;
}

// The parser's Celsius text for a whole Fahrenheit value.
std::string celsius(int f) { return std::to_string(std::lround((f - 32) * 5.0 / 9.0)) + kDeg + " C"; }

Readings page_readings(const Case& c, bool metric) {
  const Meaning& m = c.m;
  Readings r;
  r.LocationName = c.place;
  r.ConditionTime = m.condition_time;
  const auto temp = [&](std::optional<int> v, const std::string& missing, std::size_t width = 99) {
    if (!v) return metric ? std::string("n/a") : missing;
    return metric ? celsius(*v) : (std::to_string(*v) + kDeg + "F").substr(0, width);
  };
  r.Temperature = temp(m.temp_f, "n/a");
  r.TemperatureF = m.temp_f.value_or(kNoTemperature);
  r.HeatIndex = temp(m.heat_index_f, "N/A");
  r.Humidity = m.humidity ? std::to_string(*m.humidity) + "%" : "N/A";
  r.Dewpoint = temp(m.dewpoint_f, "N/A", 4);
  r.WindChill = temp(m.wind_chill_f, "N/A", 5);
  r.Wind = m.wind_page;
  r.Pressure = m.pressure;
  r.Conditions = m.conditions;
  r.Visibility = m.visibility_page;
  r.Sunrise = "7:15 AM CST";
  r.Sunset = "4:20 PM CST";
  r.MoonRise = c.moonrise.empty() ? "N/A" : c.moonrise;
  r.MoonSet = "12:44 PM CST";
  return r;
}

Readings raw_readings(const Case& c, bool metric) {
  const Meaning& m = c.m;
  Readings r;
  r.LocationName = c.city + ", " + c.region;
  r.ConditionTime = m.condition_time;
  const auto temp = [&](std::optional<int> v, const std::string& missing) {
    if (!v) return metric ? std::string("n/a") : missing;
    return metric ? celsius(*v) : std::to_string(*v) + kDeg + " F";
  };
  // The program keeps a Fahrenheit field without digits as it stands, with the unit.
  r.Temperature = temp(m.temp_f, "N/A" + kDeg + " F");
  r.TemperatureF = m.temp_f.value_or(kNoTemperature);
  r.WindChill = temp(m.wind_chill_f, "N/A");
  r.HeatIndex = temp(m.heat_index_f, "N/A");
  r.Humidity = m.humidity ? std::to_string(*m.humidity) + "%" : "N/A";
  r.Dewpoint = temp(m.dewpoint_f, "N/A" + kDeg + " F");
  r.Wind = m.wind_raw;
  r.Pressure = m.pressure;
  r.Conditions = m.conditions;
  r.Visibility = m.visibility_raw + " miles";
  r.Sunrise = "7:15 AM CST";
  r.Sunset = "4:20 PM CST";
  r.MoonRise = "N/A";  // the raw form has no moon times
  r.MoonSet = "N/A";
  return r;
}

void expect_readings(const Readings& got, const Readings& want, const std::string& what) {
  for (const ReadingsField& f : kReadingsFields) EXPECT_EQ(got.*f.member, want.*f.member) << what << " " << f.name;
  EXPECT_EQ(got.TemperatureF, want.TemperatureF) << what;
}

TEST(ServiceDocuments, PageFormReadsBackExactly) {
  for (const Case& c : kCases) {
    const std::string page = conditions_page(report_for(c));
    for (const bool metric : {false, true}) {
      ParserRig rig;
      if (metric) rig.settings.set("Metric", "y");
      rig.parse(page);
      const std::string what = std::string(c.name) + (metric ? " (metric)" : "");
      EXPECT_EQ(rig.host_calls(), kQuietParse) << what;
      expect_readings(rig.readings, page_readings(c, metric), what);
    }
  }
}

TEST(ServiceDocuments, RawFormReadsBackExactly) {
  for (const Case& c : kCases) {
    const std::string raw = conditions_raw(report_for(c));
    for (const bool metric : {false, true}) {
      ParserRig rig;
      rig.settings.set("Datasource", "2");
      if (metric) rig.settings.set("Metric", "y");
      rig.parse(raw);
      const std::string what = std::string(c.name) + (metric ? " (metric)" : "");
      EXPECT_EQ(rig.host_calls(), kQuietParse) << what;
      expect_readings(rig.readings, raw_readings(c, metric), what);
    }
  }
}

// What the program's forecast page keeps of a conditions page: the text
// before "End of Forecast", its own closing markup, then everything from
// "Other Weather Links" less the last character.
std::string forecast_page_cut(const std::string& page) {
  const std::size_t end = page.find("End of Forecast");
  const std::size_t links = page.find("Other Weather Links");
  if (end == std::string::npos || links == std::string::npos) return "";
  return page.substr(0, end) + "</TABLE><HR><CENTER><B>" + page.substr(links, page.size() - links - 1);
}

TEST(ServiceDocuments, PageCarriesTheForecastAfterTheConditions) {
  const std::string page = conditions_page(report_for(kCases[0]));
  const std::size_t moon_phase = page.find("Moon Phase");
  const std::size_t forecast = page.find("TONIGHT...Clear.");
  ASSERT_NE(moon_phase, std::string::npos);
  ASSERT_NE(forecast, std::string::npos);
  EXPECT_LT(moon_phase, forecast);
  // Markup in the forecast is text, not markup.
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; more."), std::string::npos);

  // The forecast's own "End of Forecast" and "Other Weather Links" are not the
  // page's: the cut keeps the whole forecast and the links.
  const std::string cut = forecast_page_cut(page);
  const HtmlText text = html_character_data(cut);
  EXPECT_FALSE(text.error) << text.reason;
  EXPECT_NE(text.text.find("Forecast for Chicago, Illinois"), std::string::npos);
  EXPECT_NE(text.text.find("Lows around 10."), std::string::npos);
  EXPECT_NE(text.text.find("&amp; more."), std::string::npos);  // the last forecast line survived
  EXPECT_NE(text.text.find("Other Weather Links"), std::string::npos);
  EXPECT_NE(text.text.find("National Weather Service"), std::string::npos);
  // They are still there for a reader, one letter written as a reference.
  EXPECT_NE(page.find("&#069;nd of Forecast?"), std::string::npos);
  EXPECT_NE(page.find("&#079;ther Weather Links!"), std::string::npos);
}

TEST(ServiceDocuments, PageIsLatin1WithTheLocationFirst) {
  const Case& zurich = case_named("Latin-1 place, metres, no moonrise");
  const std::string page = conditions_page(report_for(zurich));
  EXPECT_EQ(page.rfind("<!DOCTYPE html><html><head><title>Conditions: Z\xFC"
                       "rich, Switzerland Weather Forecast</title>",
                       0),
            0u);
  EXPECT_NE(page.find("charset=iso-8859-1"), std::string::npos);
  EXPECT_NE(page.find("Observed at Z\xFC"
                      "rich-Kloten (LSZH)"),
            std::string::npos);
  for (const char c : page) EXPECT_NE(c, '\xC3') << "UTF-8 in a Latin-1 page";
}

TEST(ServiceDocuments, RawFormFieldByField) {
  const std::string raw = conditions_raw(report_for(case_named("cold with wind chill")));
  EXPECT_EQ(raw,
            "9:53 AM CST December 12, 2026|0|-22\xB0 F|N/A|59%|-11|From the NW at 21 mph gusts 31|30.41 in|"
            "A Few Clouds|10|7:15 AM CST|4:20 PM CST|11:02 PM CST|12:44 PM CST|Waning Gibbous|KMSP|"
            "Minneapolis-St Paul International Airport|121553Z|Minneapolis|Minnesota|\n");
  // Without a time the first field still has the comma and the four
  // characters the parser skips; bars and line breaks inside a value go.
  ConditionsReport odd = report_for(kCases[0]);
  odd.observed = "";
  odd.station_name = "A|B\nC";
  const std::string r2 = conditions_raw(odd);
  EXPECT_EQ(r2.rfind("N/A,     |72|", 0), 0u);
  EXPECT_NE(r2.find("|A/B C|"), std::string::npos);
}

}  // namespace
}  // namespace cirrodex
