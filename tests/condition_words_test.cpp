// The conditions words of a report, and that they reach every condition
// picture the program chooses from a conditions text.
#include <gtest/gtest.h>

#include <set>

#include "conditions/condition_picture.h"
#include "service/condition_words.h"
#include "service/metar.h"

namespace cirrodex {
namespace {

std::string words_of(const std::string& body) {
  const MetarResult r = decode_metar("KXYZ 121853Z 27010KT " + body + " 10/05 A3000");
  EXPECT_TRUE(r.ok()) << body << ": " << r.error;
  EXPECT_TRUE(r.ok() && r.metar->unknown_groups.empty()) << body;
  return r.ok() ? condition_words(*r.metar) : "";
}

struct Case {
  const char* body;
  const char* words;
};

const Case kCases[] = {
    // Sky cover: the most covered layer speaks.
    {"CAVOK", "Clear"},
    {"10SM SKC", "Clear"},
    {"10SM CLR", "Clear"},
    {"9999 NSC", "Clear"},
    {"9999 NCD", "Clear"},
    {"10SM FEW020", "A Few Clouds"},
    {"10SM FEW020 SCT100", "Partly Cloudy"},
    {"10SM SCT020 BKN100", "Mostly Cloudy"},
    {"10SM BKN020 OVC100 FEW250", "Overcast"},
    {"1/4SM VV002", "Overcast"},
    {"10SM ///015", ""},
    {"10SM", ""},
    // Weather, one group.
    {"3SM -RA OVC010", "Light Rain"},
    {"3SM RA OVC010", "Rain"},
    {"1SM +RA OVC010", "Heavy Rain"},
    {"3SM -SN OVC010", "Light Snow"},
    {"1SM SN OVC010", "Snow"},
    {"1/4SM +SN VV003", "Heavy Snow"},
    {"10SM TS SCT040CB", "Thunderstorm"},
    {"5SM -TSRA BKN040CB", "Light Thunderstorms and Rain"},
    {"3SM HZ", "Haze"},
    {"1/4SM FG VV001", "Fog"},
    {"4SM -DZ OVC005", "Light Drizzle"},
    {"4SM DZ OVC005", "Drizzle"},
    {"4SM BR OVC005", "Mist"},
    {"2SM FZRA OVC008", "Freezing Rain"},
    {"2SM -FZDZ OVC008", "Light Freezing Drizzle"},
    {"2SM PL OVC008", "Ice Pellets"},
    {"3SM FU SKC", "Smoke"},
    {"4000 DU NSC", "Dust"},
    {"10SM VCSH FEW020", "Showers in the Vicinity"},
    {"5SM SHRA BKN030", "Rain Showers"},
    {"1SM +SHSN BKN010", "Heavy Snow Showers"},
    {"1SM BLSN OVC010", "Blowing Snow"},
    {"1SM MIFG", "Shallow Fog"},
    {"1SM BCFG", "Patches of Fog"},
    {"1/2SM FZFG", "Freezing Fog"},
    {"3SM GR BKN030CB", "Hail"},
    {"3SM GS BKN030CB", "Small Hail"},
    {"3SM -RASN OVC010", "Light Rain and Snow"},
    {"1SM +FC BKN030CB", "Tornado"},
    {"5SM FC BKN030CB", "Funnel Cloud"},
    {"10SM VCTS BKN040CB", "Thunderstorm in the Vicinity"},
    {"1SM SS", "Sandstorm"},
    {"1/2SM +DS", "Heavy Duststorm"},
    {"3SM UP OVC010", "Unknown Precipitation"},
    {"5SM SQ", "Squalls"},
    {"5SM PO", "Dust Whirls"},
    {"5SM VA", "Volcanic Ash"},
    {"5SM SA", "Sand"},
    {"5SM PY", "Spray"},
    {"5SM IC", "Ice Crystals"},
    {"5SM SG", "Snow Grains"},
    // Several groups: the most significant wins, whatever the order.
    {"2SM BR -SN OVC010", "Light Snow"},
    {"2SM -DZ -RA OVC010", "Light Rain"},
    {"2SM -SN -FZRA OVC010", "Light Freezing Rain"},
    {"2SM RA SN OVC010", "Snow"},
    {"2SM -SN SN OVC010", "Light Snow"},  // a tie: the first written
    {"2SM -RA +TSRA BKN030CB", "Heavy Thunderstorms and Rain"},
    {"1SM +FC TSRA", "Tornado"},
    {"3SM HZ FU", "Smoke"},
    {"3SM BR HZ", "Haze"},
    {"1/2SM BR FG", "Fog"},
    {"3SM VCTS -RA OVC010", "Light Rain"},                       // at the station before in the vicinity
    {"2SM +TSRASNGR", "Heavy Thunderstorms and Rain and Snow"},  // at most two phenomena named
    // Texts over the parser's 50 characters name one, or are cut at a word.
    {"2SM +TSUPFC", "Heavy Thunderstorms and Unknown Precipitation"},
    {"2SM VCTSUPFC", "Thunderstorms and Unknown Precipitation in the"},
};

TEST(ConditionWords, FromWeatherAndSky) {
  for (const Case& c : kCases) EXPECT_EQ(words_of(c.body), c.words) << c.body;
}

TEST(ConditionWords, FitThePageParsersWidth) {
  // The page parser keeps a conditions text of up to 50 characters whole.
  for (const Case& c : kCases) EXPECT_LE(std::string(c.words).size(), 50u) << c.body;
}

TEST(ConditionWords, ReachEveryConditionPicture) {
  std::set<int> reached;
  for (const Case& c : kCases) {
    reached.insert(condition_picture(c.words, 12));
    reached.insert(condition_picture(c.words, 22));
  }
  // All the pictures a conditions text can select, by day and by night.
  const std::set<int> all{0, 1, 2, 3, 4, 5, 9, 10, 12, 14, 15, 16, 17, 18, 19, 20};
  EXPECT_EQ(reached, all);

  const std::pair<std::string, int> by_day[] = {
      {"Clear", 14},        {"A Few Clouds", 12},
      {"Partly Cloudy", 4}, {"Mostly Cloudy", 3},
      {"Overcast", 3},      {"Haze", 1},
      {"Light Snow", 10},   {"Thunderstorm", 2},
      {"Light Rain", 9},    {"Mist", 5},
      {"Ice Pellets", 0},   {"Showers in the Vicinity", 0},
      {"Freezing Fog", 1},  {"Light Thunderstorms and Rain", 2},
  };
  for (const auto& [words, picture] : by_day) EXPECT_EQ(condition_picture(words, 12), picture) << words;
}

TEST(ConditionWords, WeatherGroupWordsAlone) {
  WeatherGroup g;
  g.text = "-FZRA";
  g.intensity = WeatherIntensity::Light;
  g.descriptor = "FZ";
  g.phenomena = {"RA"};
  EXPECT_EQ(weather_words(g), "Light Freezing Rain");
  g.vicinity = true;
  EXPECT_EQ(weather_words(g), "Freezing Rain in the Vicinity");  // no intensity away from the station
}

}  // namespace
}  // namespace cirrodex
