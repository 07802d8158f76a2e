// The shipped station table and location tree: their shape, the rows users
// and tests rely on, and that every place of the tree reaches a station.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "conditions/conditions_address.h"
#include "locations/location_tree.h"
#include "locations/station_table.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"
#include "platform/services.h"

namespace cirrodex {
namespace {

const LocationTree& tree() { return LocationTree::builtin(); }
const StationTable& stations() { return StationTable::builtin(); }

TEST(LocationData, TreeShape) {
  const auto& nodes = tree().nodes();
  ASSERT_EQ(nodes.size(), 3356u);
  EXPECT_EQ(nodes[0].text, "Continent");
  std::map<int, int> per_depth;
  int leaves = 0, us_leaves = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    ++per_depth[nodes[i].depth];
    const bool leaf = i + 1 == nodes.size() || nodes[i + 1].depth <= nodes[i].depth;
    if (!leaf) continue;
    ++leaves;
    if (tree().path(static_cast<int>(i)).at(2) == "United States") ++us_leaves;
  }
  EXPECT_EQ(per_depth, (std::map<int, int>{{0, 1}, {1, 9}, {2, 99}, {3, 2262}, {4, 985}}));
  EXPECT_EQ(leaves, 3177);
  EXPECT_EQ(us_leaves, 586);

  std::vector<std::string> continents;
  for (const auto& n : nodes)
    if (n.depth == 1) continents.push_back(n.text);
  EXPECT_EQ(continents, (std::vector<std::string>{"Africa", "Antarctica", "Asia", "Australasia", "Central America",
                                                  "Europe", "Islands", "North America", "South America"}));
}

// Children of a country node (cities, or states with their cities).
std::map<std::string, int> children_per_country() {
  std::map<std::string, int> count;
  const auto& nodes = tree().nodes();
  for (const auto& n : nodes)
    if (n.depth == 3) ++count[nodes[static_cast<std::size_t>(n.parent)].text];
  return count;
}

TEST(LocationData, CountryAndStateSizes) {
  const auto count = children_per_country();
  const std::pair<const char*, int> expected[] = {
      {"Botswana", 13},   {"South Africa", 138}, {"China", 5},      {"India", 54},
      {"Japan", 123},     {"Philippines", 52},   {"Indonesia", 83}, {"Western Australia", 98},
      {"Mexico", 91},     {"France", 72},        {"Russia", 71},    {"United Kingdom", 80},
      {"Lithuania", 2},   {"Bahamas", 12},       {"Canada", 12},    {"United States", 53},
      {"Brazil", 209},    {"Argentina", 35},     {"Austria", 1},    {"Egypt", 1},
      {"Antarctica", 12},
  };
  for (const auto& [country, n] : expected) EXPECT_EQ(count.at(country), n) << country;
  EXPECT_EQ(count.size(), 99u);
}

TEST(LocationData, StationTableShape) {
  EXPECT_EQ(stations().size(), 2591u);
  const std::pair<const char*, std::size_t> sizes[] = {
      {"Antarctica", 12}, {"Africa", 200},  {"Australia", 317},     {"Canada", 388},   {"Central America", 142},
      {"China", 9},       {"Hong Kong", 1}, {"Islands", 36},        {"India", 55},     {"Philippines", 53},
      {"Russia", 73},     {"Brazil", 207},  {"United Kingdom", 81}, {"Argentina", 34}, {"VietNam", 26},
  };
  for (const auto& [name, n] : sizes) {
    const auto* t = stations().table(name);
    ASSERT_NE(t, nullptr) << name;
    EXPECT_EQ(t->entries.size(), n) << name;
  }
  int leading_zero = 0;
  for (const auto& t : stations().tables())
    for (const auto& e : t.entries) leading_zero += e.station[0] == '0';
  EXPECT_EQ(leading_zero, 406);
  EXPECT_EQ(stations().table("United Arab Emirates")->miss, "Sorry, invalid City found for United  Arab Emirates:");
  EXPECT_EQ(stations().table("United Kingdom")->miss, "Sorry, invalid City found for UK:");
  EXPECT_EQ(stations().table("Croatia")->miss, "Sorry, invalid Province/City found for Croatia:");
}

std::string station_of(const std::string& table, const std::string& city) {
  std::vector<std::string> found;
  for (const auto& e : stations().table(table)->entries)
    if (e.city == city) found.push_back(e.station);
  std::string all;
  for (const auto& s : found) all += (all.empty() ? "" : " ") + s;
  return all;
}

TEST(LocationData, TellingRows) {
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"Antarctica", "Base Arturo Prat", "89057"},
      {"Antarctica", "Casey", "89611"},
      {"Antarctica", "Vostok", "89606"},
      {"Antarctica", "Zhongshan", "89573"},
      {"Hong Kong", "Hong Kong", "45007"},
      {"Czech Republic", "Prague", "11518"},
      {"Czech Republic", "Prague Libus", "11520"},
      {"France", "Abbeville", "07005"},
      {"India", "Bombay", "43003"},
      {"India", "New Delhi", "42181"},
      {"Canada", "Banff", "71122"},
      {"Singapore", "Singapore", "48698"},
      {"Lebanon", "Beyrouth", "40100"},
      {"Lebanon", "Tripoli", "40103"},
      {"Australia", "Richmond", "94753 94340"},
      {"Central America", "Santiago", "78460 78795"},
  };
  for (const auto& [table, city, station] : rows) EXPECT_EQ(station_of(table, city), station) << city;
}

// Every city of the tree, chosen in the chooser, makes a conditions address:
// the station's page for a place outside the US, with no message.
TEST(LocationData, EveryCityOfTheTreeMakesAnAddress) {
  const Services services("conditions = http://conditions.example\n");
  fakes::CallLog log;
  fakes::FakeHost host(log);
  const auto lookup = [&](LocationContext& c) { return lookup_station(c, host); };
  const auto& nodes = tree().nodes();
  int checked = 0;
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    if (i + 1 < nodes.size() && nodes[i + 1].depth > nodes[i].depth) continue;
    auto choice = choose_location(tree(), static_cast<int>(i), "");
    const std::string path = tree().path_text(static_cast<int>(i));
    ASSERT_EQ(choice.outcome, LocationChoice::Outcome::Fetch) << path;
    const bool us = choice.context.country == "United States";
    const std::string city = choice.context.city;
    const std::string url = build_conditions_url(services, "1", choice.context, host, lookup);
    ASSERT_TRUE(log.entries.empty()) << path << ": " << log.entries.front();
    if (us) {
      EXPECT_EQ(choice.context.state_or_country.size(), 2u) << path;
      EXPECT_EQ(url,
                "http://conditions.example/auto/Cirrodex/" + choice.context.state_or_country + "/" + city + ".html");
      EXPECT_EQ(city.find(' '), std::string::npos) << path;
    } else {
      EXPECT_EQ(url.rfind("http://conditions.example/auto/Cirrodex/global/stations/", 0), 0u) << path;
      EXPECT_EQ(url.size(), std::string("http://conditions.example/auto/Cirrodex/global/stations/12345.html").size())
          << path;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 3177);
}

TEST(LocationData, ChooserEdgeCasesOnTheShippedTree) {
  const auto tripoli = tree().find_from("tripoli", 1);
  ASSERT_TRUE(tripoli);
  EXPECT_EQ(tree().path_text(*tripoli), "Continent\\Asia\\Lebanon\\Tripoli\\");
  const auto second = tree().find_from("tripoli", *tripoli + 1);
  ASSERT_TRUE(second);
  EXPECT_EQ(tree().path_text(*second), "Continent\\Europe\\Greece\\Tripoli\\");
  EXPECT_EQ(tree().find_from("tripoli", *second + 1), std::nullopt);
  const auto vienna = tree().find_from("VIENNA", 1);
  ASSERT_TRUE(vienna);
  EXPECT_EQ(tree().path_text(*vienna), "Continent\\Europe\\Austria\\Vienna\\");
  EXPECT_EQ(tree().find_from("Vien", 1), std::nullopt);
  for (const char* path : {"Continent\\North America\\United States\\Alabama\\Muscle_Shoals\\",
                           "Continent\\North America\\United States\\Arizona\\Grand_Canyon\\"}) {
    bool found = false;
    for (int i = 0; i < static_cast<int>(tree().size()); ++i) found = found || tree().path_text(i) == path;
    EXPECT_TRUE(found) << path;
  }
}

}  // namespace
}  // namespace cirrodex
