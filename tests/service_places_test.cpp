// Places to stations: the lookups on small tables that show each rule, then
// the built-in tables against the program's own location data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/builtin.h"
#include "service/places.h"

namespace cirrodex::service {
namespace {

constexpr std::string_view kUsPlaces =
    "# a few places\n"
    "state AL Alabama\n"
    "Florence\t34.816\t-87.661\talz002\n"
    "Muscle Shoals\t34.743\t-87.634\talz001\n"
    "state IL Illinois\n"
    "Chicago\t41.837\t-87.685\tilz104\n"
    "Fort Sheridan\t42.214\t-87.816\tilz006\n"
    "state MO Missouri\n"
    "St. Louis\t38.636\t-90.245\tmoz064\n"
    "state NM New Mexico\n"
    "Espa\xF1ola\t35.991\t-106.080\tnmz215\n"
    "state PR Puerto Rico\n"
    "Cata\xF1o\t18.441\t-66.146\tprz001\n"
    "state SD South Dakota\n"
    "Lonely\t45.300\t-100.000\tsdz015\n";

constexpr std::string_view kZipCodes =
    "35630\t34.826\t-87.665\tAL\talz002\tFlorence\n"
    "60601\t41.886\t-87.622\tIL\tilz104\tChicago\n";

// KCHI lies nearest Chicago but no longer reports.
constexpr std::string_view kStations =
    "KCHI\t41.840\t-87.690\tUS\tIL\t0\tChicago Closed Field\n"
    "KMDW\t41.786\t-87.752\tUS\tIL\t1\tChicago Midway\n"
    "KMSL\t34.745\t-87.610\tUS\tAL\t1\tMuscle Shoals\n"
    "KORD\t41.995\t-87.934\tUS\tIL\t1\tChicago O'Hare\n"
    "KPIR\t44.380\t-100.286\tUS\tSD\t1\tPierre\n"
    "KUGN\t42.422\t-87.868\tUS\tIL\t1\tWaukegan\n"
    "LFAQ\t49.972\t2.698\tFR\t\t1\tAlbert Bray\n"
    "LFOI\t50.133\t1.833\tFR\t\t1\tAbbeville\n"
    "LFRB\t48.448\t-4.418\tFR\t\t0\tBrest\n";

constexpr std::string_view kWmo =
    "07005\tLFOI\t50.133\t1.833\tFR\tAbbeville\tFrance\n"
    "07020\t\t49.725\t-1.940\tFR\tLa Hague\tFrance\n"
    "07110\tLFRB\t48.450\t-4.417\tFR\tBrest\tFrance\n";

PlaceTables small() { return PlaceTables::parse({kUsPlaces, kZipCodes, kStations, kWmo}); }

std::vector<std::string> icaos(const PlaceRecord& p) {
  std::vector<std::string> out;
  for (const auto& s : p.stations) out.push_back(s.icao);
  return out;
}

TEST(ServicePlaces, UsCityMatchesTheAddressFormAndItsVariants) {
  struct Case {
    std::string state, city, display;
  };
  const Case cases[] = {
      {"AL", "Muscle_Shoals", "Muscle Shoals, Alabama"},  {"al", "MUSCLE_SHOALS", "Muscle Shoals, Alabama"},
      {"Al", "muscle  shoals", "Muscle Shoals, Alabama"}, {"IL", "chicago", "Chicago, Illinois"},
      {"IL", "Ft._Sheridan", "Fort Sheridan, Illinois"},  {"MO", "St._Louis", "St. Louis, Missouri"},
      {"MO", "St_Louis", "St. Louis, Missouri"},          {"MO", "Saint_Louis", "St. Louis, Missouri"},
      {"NM", "Espanola", "Espa\xF1ola, New Mexico"},      {"NM", "ESPA\xD1OLA", "Espa\xF1ola, New Mexico"},
      {"PR", "catano", "Cata\xF1o, Puerto Rico"},
  };
  const PlaceTables t = small();
  for (const auto& c : cases) {
    const auto p = t.us_city(c.state, c.city);
    ASSERT_TRUE(p) << c.state << "/" << c.city;
    EXPECT_EQ(p->display_name, c.display) << c.city;
    EXPECT_EQ(p->kind, PlaceKind::UsCity);
  }
  const auto chicago = t.us_city("il", "Chicago");
  EXPECT_EQ(chicago->state, "IL");
  EXPECT_EQ(chicago->country, "US");
  EXPECT_EQ(chicago->forecast_zone, "ilz104");
  EXPECT_NEAR(chicago->position.latitude, 41.837, 1e-4);
  EXPECT_NEAR(chicago->position.longitude, -87.685, 1e-4);
  EXPECT_EQ(t.us_city("PR", "Catano")->country, "PR");
}

TEST(ServicePlaces, UnknownPlacesAreNotFound) {
  const PlaceTables t = small();
  struct Case {
    std::string state, city;
  };
  const Case cases[] = {{"IL", "Chicago_Heights"}, {"AL", "Chicago"}, {"XX", "Chicago"},
                        {"", "Chicago"},           {"IL", ""},        {"IL", "_._"},
                        {"MO", "Saint"},           {"ILL", "Chicago"}};
  for (const auto& c : cases) EXPECT_FALSE(t.us_city(c.state, c.city)) << c.state << "/" << c.city;
  for (const char* zip : {"3563", "356300", "3563a", "99999", "", "60601 "}) EXPECT_FALSE(t.zip_code(zip)) << zip;
  for (const char* wmo : {"7005", "07006", "070050", "LFOI"}) EXPECT_FALSE(t.wmo_station(wmo)) << wmo;
}

TEST(ServicePlaces, ZipCodeGivesItsTownAndState) {
  const auto p = small().zip_code("35630");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PlaceKind::ZipCode);
  EXPECT_EQ(p->display_name, "Florence, Alabama");
  EXPECT_EQ(p->state, "AL");
  EXPECT_EQ(p->forecast_zone, "alz002");
  EXPECT_EQ(icaos(*p), (std::vector<std::string>{"KMSL"}));
}

TEST(ServicePlaces, CandidatesAreReportingStationsNearestFirst) {
  const PlaceTables t = small();
  // KCHI is closest but dead; KUGN is 65 km away, within the radius.
  const auto chicago = t.us_city("IL", "Chicago");
  EXPECT_EQ(icaos(*chicago), (std::vector<std::string>{"KMDW", "KORD", "KUGN"}));
  EXPECT_LT(chicago->stations[0].distance_km, chicago->stations[1].distance_km);
  EXPECT_NEAR(chicago->stations[0].distance_km, 7.9, 0.3);

  StationSearch two;
  two.max_stations = 2;
  EXPECT_EQ(icaos(*t.us_city("IL", "Chicago", two)), (std::vector<std::string>{"KMDW", "KORD"}));

  // Nothing within 75 km of Lonely: the nearest one anyway (Pierre, 105 km)
  // unless it lies beyond the fallback distance.
  const auto lonely = t.us_city("SD", "Lonely");
  ASSERT_EQ(icaos(*lonely), (std::vector<std::string>{"KPIR"}));
  EXPECT_NEAR(lonely->stations[0].distance_km, 105, 5);
  StationSearch near_only;
  near_only.fallback_km = 90;
  EXPECT_TRUE(t.us_city("SD", "Lonely", near_only)->stations.empty());
}

TEST(ServicePlaces, WmoStationPutsItsOwnReportingIcaoFirst) {
  const PlaceTables t = small();
  const auto abbeville = t.wmo_station("07005");
  ASSERT_TRUE(abbeville);
  EXPECT_EQ(abbeville->kind, PlaceKind::WmoStation);
  EXPECT_EQ(abbeville->display_name, "Abbeville, France");
  EXPECT_EQ(abbeville->country, "FR");
  EXPECT_EQ(abbeville->wmo, "07005");
  EXPECT_TRUE(abbeville->state.empty());
  EXPECT_TRUE(abbeville->forecast_zone.empty());
  EXPECT_EQ(icaos(*abbeville), (std::vector<std::string>{"LFOI", "LFAQ"}));

  // No ICAO of its own: the nearest reporting one (here 270 km off).
  EXPECT_EQ(icaos(*t.wmo_station("07020")), (std::vector<std::string>{"LFOI"}));
  // Its own station no longer reports: the nearest other one, 490 km off,
  // or nothing when that is beyond the fallback distance.
  EXPECT_EQ(icaos(*t.wmo_station("07110")), (std::vector<std::string>{"LFOI"}));
  StationSearch closer;
  closer.fallback_km = 300;
  EXPECT_TRUE(t.wmo_station("07110", closer)->stations.empty());
}

TEST(ServicePlaces, StationsByIcaoInAnyCase) {
  const PlaceTables t = small();
  const MetarStation* s = t.station("kmdw");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->name, "Chicago Midway");
  EXPECT_EQ(s->state, "IL");
  EXPECT_TRUE(s->reporting);
  EXPECT_FALSE(t.station("KCHI")->reporting);
  EXPECT_EQ(t.station("KXYZ"), nullptr);
  EXPECT_EQ(t.station_count(), 9U);
}

TEST(ServicePlaces, ParseNamesTheTableAndLineOfAFault) {
  struct Case {
    std::string us, zips, stations, wmo, message;
  };
  const std::string us(kUsPlaces), zips(kZipCodes), st(kStations), wmo(kWmo);
  const Case cases[] = {
      {"Chicago\t1\t2\tilz001\n", zips, st, wmo, "us_places.txt line 1: a place before the first state"},
      {"state IL Illinois\nChicago\t41.8\n", zips, st, wmo, "us_places.txt line 2: expected 4 fields"},
      {"state IL Illinois\nZion\t1\t2\tz\nAurora\t1\t2\tz\n", zips, st, wmo,
       "us_places.txt line 3: places out of order"},
      {"state IL Illinois\nSt Louis\t1\t2\tz\nSt. Louis\t1\t2\tz\n", zips, st, wmo,
       "us_places.txt line 3: places out of order or repeated"},
      {"state IL Illinois\nChicago\t91\t2\tz\n", zips, st, wmo, "us_places.txt line 2: bad coordinate"},
      {"state MO Missouri\nstate IL Illinois\n", zips, st, wmo, "us_places.txt line 2: states out of order"},
      {us, "35630\t1\t2\tTX\tz\tX\n", st, wmo, "zip_codes.txt line 1: unknown state"},
      {us, "60601\t1\t2\tIL\tz\tX\n35630\t1\t2\tAL\tz\tX\n", st, wmo, "zip_codes.txt line 2: zip codes out of order"},
      {us, zips, "KMDW\t1\t2\tUS\tIL\tyes\tX\n", wmo, "metar_stations.txt line 1: bad reporting flag"},
      {us, zips, "KORD\t1\t2\tUS\tIL\t1\tX\nKMDW\t1\t2\tUS\tIL\t1\tX\n", wmo, "metar_stations.txt line 2: bad ICAO"},
      {us, zips, st, "7005\tLFOI\t1\t2\tFR\tA\tFrance\n", "wmo_stations.txt line 1: bad station number"},
  };
  for (const auto& c : cases) {
    try {
      (void)PlaceTables::parse({c.us, c.zips, c.stations, c.wmo});
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
    }
  }
}

TEST(ServicePlaces, KeysFoldCaseMarksAndSeparators) {
  EXPECT_EQ(place_key("Muscle_Shoals"), "muscle shoals");
  EXPECT_EQ(place_key(" St. Mary's--Point_ "), "st marys point");
  EXPECT_EQ(place_key("Espa\xF1ola"), "espanola");
  EXPECT_EQ(place_key("\xC6gir \xDF"), "\xC6gir \xDF");  // no base letter: kept as it is
  EXPECT_EQ(place_key("._'"), "");
}

// The built-in tables.

const PlaceTables& builtin() { return PlaceTables::builtin(); }

TEST(ServicePlacesBuiltIn, KnownPlacesAndTheirStations) {
  const auto shoals = builtin().us_city("AL", "Muscle_Shoals");
  ASSERT_TRUE(shoals);
  EXPECT_EQ(shoals->display_name, "Muscle Shoals, Alabama");
  EXPECT_EQ(shoals->stations.at(0).icao, "KMSL");

  const auto chicago = builtin().us_city("IL", "Chicago");
  ASSERT_TRUE(chicago);
  EXPECT_EQ(chicago->forecast_zone, "ilz104");
  EXPECT_EQ(chicago->stations.at(0).icao, "KMDW");
  EXPECT_GE(chicago->stations.size(), 3U);
  for (const auto& s : chicago->stations) {
    EXPECT_LE(s.distance_km, 75);
    EXPECT_TRUE(builtin().station(s.icao)->reporting) << s.icao;
  }

  // Honolulu is "Urban Honolulu" in the Census list, Ventura "San Buenaventura (Ventura)".
  EXPECT_EQ(builtin().us_city("HI", "Honolulu")->display_name, "Honolulu, Hawaii");
  EXPECT_EQ(builtin().us_city("CA", "Ventura")->forecast_zone,
            builtin().us_city("CA", "San_Buenaventura")->forecast_zone);
  EXPECT_EQ(builtin().us_city("TN", "Nashville")->state, "TN");

  const auto zip = builtin().zip_code("35630");
  ASSERT_TRUE(zip);
  EXPECT_EQ(zip->state, "AL");
  EXPECT_EQ(zip->display_name, zip->name + ", Alabama");
  EXPECT_EQ(zip->stations.at(0).icao, "KMSL");
  EXPECT_EQ(builtin().zip_code("10001")->state, "NY");
  EXPECT_EQ(builtin().zip_code("00802")->state, "VI");

  const auto abbeville = builtin().wmo_station("07005");
  ASSERT_TRUE(abbeville);
  EXPECT_EQ(abbeville->display_name, "Abbeville, France");
  EXPECT_EQ(abbeville->country, "FR");
  EXPECT_EQ(abbeville->stations.at(0).icao, "LFOI");
  EXPECT_EQ(builtin().wmo_station("54511")->display_name, "Beijing, China");
  EXPECT_EQ(builtin().wmo_station("71122")->display_name, "Banff, Alberta");

  EXPECT_FALSE(builtin().us_city("IL", "Atlantis"));
  EXPECT_FALSE(builtin().zip_code("00000"));
  EXPECT_FALSE(builtin().wmo_station("00000"));
}

// Every US city of the program's location tree, in the address form the
// program sends, finds its place.
TEST(ServicePlacesBuiltIn, EveryTreeCityOfTheUnitedStatesResolves) {
  const auto tree = builtin_resource("LOCTREE", "TXT");
  ASSERT_TRUE(tree);
  const std::vector<std::pair<std::string, std::string>> states = {
      {"Alabama", "AL"},        {"Alaska", "AK"},       {"Arizona", "AZ"},
      {"Arkansas", "AR"},       {"California", "CA"},   {"Colorado", "CO"},
      {"Connecticut", "CT"},    {"Delaware", "DE"},     {"District of Columbia", "DC"},
      {"Florida", "FL"},        {"Georgia", "GA"},      {"Hawaii", "HI"},
      {"Idaho", "ID"},          {"Illinois", "IL"},     {"Indiana", "IN"},
      {"Iowa", "IA"},           {"Kansas", "KS"},       {"Kentucky", "KY"},
      {"Louisiana", "LA"},      {"Maine", "ME"},        {"Maryland", "MD"},
      {"Massachusetts", "MA"},  {"Michigan", "MI"},     {"Minnesota", "MN"},
      {"Mississippi", "MS"},    {"Missouri", "MO"},     {"Montana", "MT"},
      {"Nebraska", "NE"},       {"Nevada", "NV"},       {"New Hampshire", "NH"},
      {"New Jersey", "NJ"},     {"New Mexico", "NM"},   {"New York", "NY"},
      {"North Carolina", "NC"}, {"North Dakota", "ND"}, {"Ohio", "OH"},
      {"Oklahoma", "OK"},       {"Oregon", "OR"},       {"Pennsylvania", "PA"},
      {"Puerto Rico", "PR"},    {"Rhode Island", "RI"}, {"South Carolina", "SC"},
      {"South Dakota", "SD"},   {"Tennessee", "TN"},    {"Texas", "TX"},
      {"Utah", "UT"},           {"Vermont", "VT"},      {"Virgin Islands", "VI"},
      {"Virginia", "VA"},       {"Washington", "WA"},   {"West Virginia", "WV"},
      {"Wisconsin", "WI"},      {"Wyoming", "WY"}};
  std::vector<std::string> path;
  int cities = 0;
  std::string_view text = *tree;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t depth = line.find_first_not_of('\t');
    if (depth == std::string_view::npos) continue;
    path.resize(depth);
    path.emplace_back(line.substr(depth));
    if (depth != 4 || path[2] != "United States") continue;
    const auto state = std::find_if(states.begin(), states.end(), [&](const auto& s) { return s.first == path[3]; });
    ASSERT_NE(state, states.end()) << path[3];
    const auto place = builtin().us_city(state->second, path[4]);
    EXPECT_TRUE(place) << path[4] << ", " << state->second;
    if (place) {
      EXPECT_FALSE(place->stations.empty()) << path[4];
    }
    ++cities;
  }
  EXPECT_EQ(cities, 586);
}

// Every station number of the program's station table finds its station.
TEST(ServicePlacesBuiltIn, EveryProgramStationNumberResolves) {
  const auto stations = builtin_resource("STATIONS", "TXT");
  ASSERT_TRUE(stations);
  std::string_view text = *stations;
  int numbers = 0, without_station = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const auto place = builtin().wmo_station(line.substr(tab + 1));
    ASSERT_TRUE(place) << line;
    without_station += place->stations.empty();
    ++numbers;
  }
  EXPECT_EQ(numbers, 2591);
  // The remote ones: Antarctic bases and far islands with nothing within 500 km.
  EXPECT_LT(without_station, 20);
}

}  // namespace
}  // namespace cirrodex::service
