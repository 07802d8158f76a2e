// The time zone of a place: zone1970.tab read, the zone chosen by US state
// or by the nearest principal place of the country, on the system's tzdata.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "service/places.h"
#include "service/time_zones.h"

namespace cirrodex::service {
namespace {

const TimeZones& system_zones() {
  static const TimeZones zones;
  return zones;
}

TEST(ServiceZoneTable, ReadsRowsInBothCoordinateForms) {
  const ZoneTable t = ZoneTable::parse(
      "# comment\n"
      "\n"
      "US\t+415100-0873900\tAmerica/Chicago\tCentral (most areas)\n"
      "DE,DK\t+5230+01322\tEurope/Berlin\r\n"
      "XX\t+5230\tBroken/Coordinates\n"
      "YY\t+5230+01322\n"
      "\t+5230+01322\tNo/Country\n");
  ASSERT_EQ(t.zones().size(), 2U);
  EXPECT_EQ(t.zones()[0].name, "America/Chicago");
  EXPECT_NEAR(t.zones()[0].principal.latitude, 41 + 51.0 / 60, 1e-9);
  EXPECT_NEAR(t.zones()[0].principal.longitude, -(87 + 39.0 / 60), 1e-9);
  EXPECT_EQ(t.zones()[1].countries, (std::vector<std::string>{"DE", "DK"}));
  EXPECT_EQ(t.zones()[1].name, "Europe/Berlin");
  EXPECT_NEAR(t.zones()[1].principal.longitude, 13 + 22.0 / 60, 1e-9);
  EXPECT_EQ(t.zone_for({55.7, 12.6}, "dk"), "Europe/Berlin");
  EXPECT_EQ(t.zone_for({55.7, 12.6}, "SE"), "");
}

TEST(ServiceZoneTable, ChoosesByStateOrNearestPrincipalPlace) {
  ASSERT_EQ(system_zones().error(), "");
  struct Case {
    const char* place;
    GeoPoint where;
    const char* country;
    const char* state;
    const char* zone;
  };
  const Case cases[] = {
      {"Chicago", {41.84, -87.68}, "US", "IL", "America/Chicago"},
      {"Phoenix", {33.57, -112.09}, "US", "AZ", "America/Phoenix"},
      {"Honolulu", {21.32, -157.85}, "US", "HI", "Pacific/Honolulu"},
      {"San Juan", {18.41, -66.06}, "PR", "PR", "America/Puerto_Rico"},
      {"El Paso", {31.85, -106.43}, "US", "TX", "America/Denver"},
      {"Houston", {29.76, -95.37}, "US", "TX", "America/Chicago"},
      {"Indianapolis", {39.78, -86.15}, "US", "IN", "America/Indiana/Indianapolis"},
      {"Gary", {41.59, -87.35}, "US", "IN", "America/Chicago"},
      {"Pensacola", {30.44, -87.19}, "US", "FL", "America/Chicago"},
      {"Miami", {25.78, -80.21}, "US", "fl", "America/New_York"},
      {"Rapid City", {44.07, -103.22}, "US", "SD", "America/Denver"},
      {"Adak", {51.91, -176.60}, "US", "AK", "America/Adak"},
      {"Boston, no state given", {42.34, -71.02}, "US", "", "America/New_York"},
      {"Sydney", {-33.95, 151.18}, "AU", "", "Australia/Sydney"},
      {"Perth", {-31.93, 115.97}, "AU", "", "Australia/Perth"},
      {"Berlin", {52.47, 13.40}, "DE", "", "Europe/Berlin"},
      {"Abbeville", {50.13, 1.83}, "FR", "", "Europe/Paris"},
      {"Vancouver", {49.19, -123.18}, "CA", "", "America/Vancouver"},
      {"Nowhere", {0, 0}, "ZZ", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(system_zones().zone_for(c.where, c.country, c.state), c.zone) << c.place;
}

// The built-in places, their country and state, and the zone they get.
TEST(ServiceZoneTable, PlacesOfTheBuiltInTables) {
  struct Case {
    const char* state;
    const char* city;
    const char* zone;
  };
  const Case cases[] = {{"IL", "Chicago", "America/Chicago"},   {"TX", "El_Paso", "America/Denver"},
                        {"AZ", "Phoenix", "America/Phoenix"},   {"IN", "Indianapolis", "America/Indiana/Indianapolis"},
                        {"HI", "Honolulu", "Pacific/Honolulu"}, {"VI", "Charlotte_Amalie", "America/Puerto_Rico"}};
  for (const auto& c : cases) {
    const auto p = PlaceTables::builtin().us_city(c.state, c.city);
    ASSERT_TRUE(p) << c.city;
    EXPECT_EQ(system_zones().zone_for(p->position, p->country, p->state), c.zone) << c.city;
  }
  const auto sydney = PlaceTables::builtin().wmo_station("94767");
  ASSERT_TRUE(sydney);
  EXPECT_EQ(system_zones().zone_for(sydney->position, sydney->country, sydney->state), "Australia/Sydney");
  const auto berlin = PlaceTables::builtin().wmo_station("10384");
  ASSERT_TRUE(berlin);
  EXPECT_EQ(system_zones().zone_for(berlin->position, berlin->country, berlin->state), "Europe/Berlin");
}

TEST(ServiceTimeZones, RulesAreReadOnceAndSharedAcrossThreads) {
  const TimeZones& zones = system_zones();
  const auto chicago = zones.rules("America/Chicago");
  ASSERT_NE(chicago, nullptr);
  EXPECT_EQ(zones.rules("America/Chicago"), chicago);
  std::vector<std::thread> threads;
  std::vector<std::int32_t> offsets(8);
  for (std::size_t i = 0; i < offsets.size(); ++i)
    threads.emplace_back([&, i] { offsets[i] = zones.rules("Europe/Berlin")->at(1719792000).utc_offset; });
  for (auto& t : threads) t.join();
  for (const auto offset : offsets) EXPECT_EQ(offset, 7200);  // 1 July 2024, CEST
}

TEST(ServiceTimeZones, RefusesNamesOutsideTheFolder) {
  for (const char* name : {"", "../zoneinfo/America/Chicago", "/etc/passwd", "America/../America/Chicago",
                           "America/Chicago\n", "No/Such_Zone", "America", "zone1970.tab"})
    EXPECT_EQ(system_zones().rules(name), nullptr) << name;
  const TimeZones nowhere("/nonexistent");
  EXPECT_EQ(nowhere.error(), "cannot read /nonexistent/zone1970.tab");
  EXPECT_EQ(nowhere.zone_for({41.84, -87.68}, "US", "IL"), "America/Chicago");  // the state needs no table
  EXPECT_EQ(nowhere.zone_for({52.47, 13.40}, "DE"), "");
}

}  // namespace
}  // namespace cirrodex::service
