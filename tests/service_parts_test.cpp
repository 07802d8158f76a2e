// The handler's real parts one by one: the place directory (names, stations,
// forecast zone and time zone of each kind of address), the forecast
// product's periods, and the bounded map behind the document writer's caches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/document_maker.h"
#include "service/lru_map.h"
#include "service/place_directory.h"

namespace cirrodex::service {
namespace {

struct DirectoryCase {
  const char* name;
  Place place;
  std::string heading, city, region;
  std::vector<std::string> first_stations;  // the list starts with these
  std::string state, zone, country, time_zone;
};

const DirectoryCase kDirectoryCases[] = {
    {"UsCity",
     UsCity{"AL", "Muscle_Shoals"},
     "Muscle Shoals, Alabama",
     "Muscle Shoals",
     "Alabama",
     {"KMSL", "K1M4"},
     "al",
     "alz001",
     "US",
     "America/Chicago"},
    {"CityInAddressCase",
     UsCity{"NY", "new_york"},
     "New York, New York",
     "New York",
     "New York",
     {"KJRB", "KNYC"},
     "ny",
     "nyz075",
     "US",
     "America/New_York"},
    {"PuertoRico",
     UsCity{"PR", "San_Juan"},
     "San Juan, Puerto Rico",
     "San Juan",
     "Puerto Rico",
     {"TJSJ"},
     "pr",
     "prz001",
     "PR",
     "America/Puerto_Rico"},
    {"IndianaOnCentralTime",
     UsCity{"IN", "Evansville"},
     "Evansville, Indiana",
     "Evansville",
     "Indiana",
     {"KEVV"},
     "in",
     "inz086",
     "US",
     "America/Chicago"},
    {"ZipCode",
     ZipCode{"35630"},
     "Florence, Alabama",
     "Florence",
     "Alabama",
     {"KMSL"},
     "al",
     "alz001",
     "US",
     "America/Chicago"},
    {"WmoStation",
     WmoStation{"07005"},
     "Abbeville, France",
     "Abbeville",
     "France",
     {"LFOI", "LFAT", "LFAQ"},
     "",
     "",
     "FR",
     "Europe/Paris"},
};

class PlaceDirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(PlaceDirectoryTest, ResolvesWhatTheDocumentAndTheSourcesNeed) {
  static const TimeZones zones;
  PlaceDirectory directory(PlaceTables::builtin(), zones);
  const DirectoryCase& c = GetParam();
  const std::optional<ResolvedPlace> p = directory.resolve(c.place);
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->name, c.heading);
  EXPECT_EQ(p->city, c.city);
  EXPECT_EQ(p->region, c.region);
  ASSERT_GE(p->stations.size(), c.first_stations.size());
  EXPECT_EQ(std::vector<std::string>(p->stations.begin(),
                                     p->stations.begin() + static_cast<std::ptrdiff_t>(c.first_stations.size())),
            c.first_stations);
  EXPECT_EQ(p->state, c.state);
  EXPECT_EQ(p->forecast_zone, c.zone);
  EXPECT_EQ(p->country, c.country);
  EXPECT_EQ(p->time_zone, c.time_zone);
  EXPECT_NE(p->latitude, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Addresses, PlaceDirectoryTest, ::testing::ValuesIn(kDirectoryCases),
                         [](const auto& tc) { return std::string(tc.param.name); });

TEST(PlaceDirectory, UnknownPlacesResolveToNothing) {
  const TimeZones zones;
  PlaceDirectory directory(PlaceTables::builtin(), zones);
  for (const Place& place : {Place{UsCity{"AL", "Nowhere_Special"}}, Place{UsCity{"ZZ", "Chicago"}},
                             Place{ZipCode{"00000"}}, Place{WmoStation{"00001"}}})
    EXPECT_FALSE(directory.resolve(place).has_value()) << describe(place);
}

struct PeriodsCase {
  const char* name;
  std::string product;
  std::string periods;
};

TEST(ForecastPeriods, KeepThePeriodsOfTheZoneSegment) {
  const PeriodsCase cases[] = {
      {"product",
       "FPUS54 KHUN 151012\nZFPHUN\n\nZone Forecast Product\n412 AM CST Mon Jan 15 2024\n\nALZ001-152200-\n"
       "Lauderdale-\n412 AM CST Mon Jan 15 2024\n\n.TODAY...Sunny.\n.TONIGHT...Clear. Lows\naround 20.\n\n$$\n",
       ".TODAY...Sunny.\n.TONIGHT...Clear. Lows\naround 20."},
      {"CRLF and a second segment", "ALZ001-\r\n.REST OF TODAY...Rain.\r\n$$\r\nALZ002-\r\n.TODAY...Snow.\r\n",
       ".REST OF TODAY...Rain."},
      // An ellipsis line is no period.
      {"no periods", "Forecast text\n...not in periods...\n$$\n", "Forecast text\n...not in periods..."},
      {"empty", "", ""},
  };
  for (const PeriodsCase& c : cases) EXPECT_EQ(forecast_periods(c.product), c.periods) << c.name;
}

TEST(LruMap, ForgetsTheLeastRecentlyUsed) {
  LruMap<int> map(2);
  map.put("a", 1);
  map.put("b", 2);
  ASSERT_NE(map.find("a"), nullptr);  // now b is the oldest
  map.put("c", 3);
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(map.find("b"), nullptr);
  EXPECT_EQ(*map.find("a"), 1);
  map.put("c", 4);  // a new value, no new entry
  EXPECT_EQ(*map.find("c"), 4);
  map.put("d", 5);  // a was used before c
  EXPECT_EQ(map.find("a"), nullptr);
  EXPECT_EQ(map.size(), 2u);

  LruMap<int> none(0);
  none.put("a", 1);
  EXPECT_EQ(none.find("a"), nullptr);
}

}  // namespace
}  // namespace cirrodex::service
