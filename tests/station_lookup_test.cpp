// The station lookup's groups, tables and messages, on a small table.
#include <gtest/gtest.h>

#include "locations/station_table.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"

namespace cirrodex {
namespace {

constexpr std::string_view kStations =
    "# a small table\n"
    "table Australia\n"
    "miss Sorry, invalid Province/City found for Australia:\n"
    "country New South Wales\n"
    "Richmond\t94753\n"
    "country Queensland\n"
    "Richmond\t94340\n"
    "Brisbane\t94578\n"
    "table Canada\n"
    "miss Sorry, invalid Province/City found for Canada:\n"
    "country Newfoundland\n"
    "Gander\t71803\n"
    "table Islands\n"
    "miss Sorry, invalid city found for Island locations:\n"
    "country Cayman Island\n"
    "Georgetown\t78384\n"
    "table Hong Kong\n"
    "miss Sorry, invalid City found for HongKong:\n"
    "Hong Kong\t45007\n"
    "table Bangladesh\n"
    "miss Sorry, invalid City found for Bangladesh:\n"
    "Dhaka\t41923\n"
    "table Czech Republic\n"
    "miss Sorry, invalid City found for Czech Republic:\n"
    "Prague Libus\t11520\n"
    "Prague\t11518\n"
    "table VietNam\n"
    "miss Sorry, invalid City found for VietNam:\n"
    "Hanoi\t48820\n";

std::string join(const fakes::CallLog& log) {
  std::string out;
  for (const auto& e : log.entries) out += (out.empty() ? "" : "\n") + e;
  return out;
}

struct Rig {
  fakes::CallLog log;
  fakes::FakeHost host{log};
  StationTable table = StationTable::parse(kStations);
  std::string lookup(LocationContext& ctx) { return lookup_station(ctx, host, table); }
};

TEST(StationLookup, FindsTheFirstExactEntryOfTheTableItsKeyReaches) {
  struct Case {
    std::string city, key, country, station, group_after;
  };
  const Case cases[] = {
      {"Prague", "Czech Republic (O)", "Europe", "11518", "Europe"},
      {"Prague Libus", "Czech Republic (O)", "Europe", "11520", "Europe"},
      {"Richmond", "Queensland (O)", "Australasia", "94753", "Australasia"},  // the first Richmond wins
      {"Richmond", "Tasmania (O)", "", "94753", "Australia"},
      {"Gander", "Newfoundland (O)", "", "71803", "Canada"},
      {"Dhaka", "Bangladesh (O)", "", "41923", "Asia"},
      {"Georgetown", "Cayman Island (O)", "Islands", "78384", "Islands"},
      {"Hong Kong", "Hong Kong (O)", "Asia", "45007", "Asia"},
      {"Hanoi", "Viet Nam (O)", "", "48820", "Asia"},
      {"Hanoi", "VietNam (O)", "Asia", "48820", "Asia"},
  };
  for (const auto& c : cases) {
    Rig rig;
    LocationContext ctx{"", c.country, c.key, c.city, ""};
    EXPECT_EQ(rig.lookup(ctx), c.station) << c.city << " / " << c.key;
    EXPECT_EQ(ctx.country, c.group_after) << c.city << " / " << c.key;
    EXPECT_EQ(ctx.city, c.city);
    EXPECT_TRUE(rig.log.entries.empty()) << join(rig.log);
  }
}

TEST(StationLookup, FailuresGiveTheirMessagesAndResults) {
  struct Case {
    std::string city, key, country, result, message;
  };
  const Case cases[] = {
      {"prague", "Czech Republic (O)", "Europe", "n/a", "Sorry, invalid City found for Czech Republic:prague"},
      {"Prague ", "Czech Republic (O)", "Europe", "n/a", "Sorry, invalid City found for Czech Republic:Prague "},
      {"Perth", "Cayman Island (O)", "Islands", "n/a", "Sorry, invalid city found for Island locations:Perth"},
      {"Berlin", "Germany (O)", "Asia", "", ""},      // no table of that name in the group: no message
      {"Nassau", "Atlantis (O)", "Islands", "", ""},  // not one of the island keys
      {"Atlantis", "Atlantis (O)", "", "", "Error - invalid state/territory (Foreign_locations):Atlantis (O)"},
      {"Dhaka", "Bangladesh", "", "", "Error - invalid state/territory (Foreign_locations):Bangladesh"},
      {"Ulm", "Mars (O)", "Mars", "", "Sorry, this foreign country info is not added yet...Mars"},
  };
  for (const auto& c : cases) {
    Rig rig;
    LocationContext ctx{"", c.country, c.key, c.city, ""};
    EXPECT_EQ(rig.lookup(ctx), c.result) << c.city << " / " << c.key;
    EXPECT_EQ(join(rig.log), c.message.empty() ? "" : "message: " + c.message) << c.city;
    EXPECT_EQ(ctx.city, c.city);
  }
}

TEST(StationLookup, AnEmptyCityIsReportedBeforeAnythingElse) {
  Rig rig;
  LocationContext ctx{"", "", "Atlantis (O)", "", ""};
  EXPECT_EQ(rig.lookup(ctx), "");
  EXPECT_EQ(join(rig.log), "message: Error - City field is empty in Foreign_locations; city:\nbeep");
  EXPECT_EQ(ctx.country, "");  // no group derived
}

TEST(StationLookup, ParsingNamesTheFaultyLine) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Paris\t07150\n", "line 1"},
      {"table X\nmiss m\nParis 07150\n", "line 3"},
      {"table X\nmiss m\nParis\t7150\n", "line 3"},
      {"table X\nParis\t07150\n", "no miss message"},
  };
  for (const auto& [text, what] : cases) {
    try {
      StationTable::parse(text);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace cirrodex
