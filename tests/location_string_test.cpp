#include "locations/location_string.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "locations/state_codes.h"

namespace cirrodex {
namespace {

struct ParseCase {
  const char* location;
  const char* country;
  const char* state_or_country;
  const char* city;
  const char* zip;
};

// The context before each parse: a city and zip from an earlier fetch show
// what the parse overwrites and what it leaves.
LocationContext earlier_fetch() {
  LocationContext ctx;
  ctx.requested = "earlier request";
  ctx.country = "Africa";
  ctx.state_or_country = "XX";
  ctx.city = "Mobile";
  ctx.zip = "99999";
  return ctx;
}

// Readable test names in ctest and in failure reports.
void PrintTo(const ParseCase& c, std::ostream* os) { *os << '"' << c.location << '"'; }

class LocationStringParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LocationStringParse, FillsTheContext) {
  const auto& c = GetParam();
  LocationContext ctx = earlier_fetch();
  parse_location_string(c.location, ctx);
  EXPECT_EQ(ctx.country, c.country);
  EXPECT_EQ(ctx.state_or_country, c.state_or_country);
  EXPECT_EQ(ctx.city, c.city);
  EXPECT_EQ(ctx.zip, c.zip);
  EXPECT_EQ(ctx.requested, "earlier request");
}

INSTANTIATE_TEST_SUITE_P(UsCity, LocationStringParse,
                         ::testing::Values(ParseCase{"Muscle_Shoals, AL", "US", "AL", "Muscle_Shoals", ""},
                                           ParseCase{"Las Cruces, NM", "US", "NM", "Las_Cruces", ""},
                                           // Older strings carry the state name.
                                           ParseCase{"Tuscaloosa, Alabama", "US", "AL", "Tuscaloosa", ""},
                                           ParseCase{"Albany, New York", "US", "NY", "Albany", ""},
                                           ParseCase{"Lima, Peru", "US", "Peru (O)", "Lima", ""},
                                           ParseCase{"London, United_Kingdom", "US", "United Kingdom (O)", "London",
                                                     ""},
                                           ParseCase{"Paris, France", "US", "", "Paris", ""},
                                           ParseCase{"Mobile, alabama", "US", "", "Mobile", ""},
                                           // A "(" in first place is no country marker.
                                           ParseCase{"(Old) Town, TX", "US", "TX", "(Old)_Town", ""}));

INSTANTIATE_TEST_SUITE_P(ZipCode, LocationStringParse,
                         ::testing::Values(ParseCase{"12345 - Tuscaloosa, AL", "US", "AL", "Mobile", "12345"},
                                           ParseCase{"35401 - Tuscaloosa, Alabama", "US", "AL", "Mobile", "35401"},
                                           // Without a comma the state part starts at the second character.
                                           ParseCase{"123", "US", "23", "Mobile", "123"},
                                           ParseCase{"7AL", "US", "AL", "Mobile", "7AL"},
                                           ParseCase{"1234567, Texas", "US", "TX", "Mobile", "12345"}));

INSTANTIATE_TEST_SUITE_P(NonUs, LocationStringParse,
                         ::testing::Values(ParseCase{"Francistown, Botswana (O)", "", "Botswana (O)", "Francistown",
                                                     ""},
                                           ParseCase{"Sao_Paulo, Brazil (O)", "", "Brazil (O)", "Sao Paulo", ""},
                                           ParseCase{"Nowhere (O)", "", "owhere (O)", "", ""},
                                           ParseCase{"Odd (O), Place", "", "(O)", "Odd (O)", ""}));

INSTANTIATE_TEST_SUITE_P(NoComma, LocationStringParse,
                         ::testing::Values(ParseCase{"XAL", "US", "AL", "", ""},
                                           // The rest is no state name, so the lookup leaves nothing.
                                           ParseCase{"Nowhere", "US", "", "", ""}, ParseCase{"", "US", "", "", ""}));

TEST(LocationStringParse, ZipFormFixesBlanksInTheCityItKeeps) {
  LocationContext ctx;
  ctx.city = "Old Town";
  parse_location_string("12345 - Tuscaloosa, AL", ctx);
  EXPECT_EQ(ctx.city, "Old_Town");
}

TEST(LocationStringForm, ParenCountsFromTheSecondCharacter) {
  EXPECT_TRUE(has_paren_after_first("Botswana (O)"));
  EXPECT_TRUE(has_paren_after_first("x("));
  EXPECT_FALSE(has_paren_after_first("(O)"));
  EXPECT_FALSE(has_paren_after_first("AL"));
  EXPECT_FALSE(has_paren_after_first(""));
}

struct StateCase {
  const char* name;
  const char* code;
};

TEST(StateCodeFromTreeName, MapsStateNamesToPostalCodes) {
  // The names whose codes are easily confused, and the three non-states.
  const StateCase cases[] = {
      {"Alabama", "AL"},   {"Alaska", "AK"},      {"Arizona", "AZ"},        {"Arkansas", "AR"},
      {"Hawaii", "HI"},    {"Iowa", "IA"},        {"Kansas", "KS"},         {"Kentucky", "KY"},
      {"Louisiana", "LA"}, {"Maine", "ME"},       {"Maryland", "MD"},       {"Massachusetts", "MA"},
      {"Michigan", "MI"},  {"Minnesota", "MN"},   {"Mississippi", "MS"},    {"Missouri", "MO"},
      {"Montana", "MT"},   {"Nebraska", "NE"},    {"Nevada", "NV"},         {"New Hampshire", "NH"},
      {"Tennessee", "TN"}, {"Texas", "TX"},       {"Virginia", "VA"},       {"West Virginia", "WV"},
      {"Wyoming", "WY"},   {"Puerto Rico", "PR"}, {"Virgin Islands", "VI"}, {"District of Columbia", "DC"},
  };
  for (const auto& c : cases) EXPECT_EQ(state_code_from_tree_name(c.name), c.code) << c.name;
}

TEST(StateCodeFromTreeName, OtherNamesPassThroughUnchanged) {
  for (const char* name :
       {"Ontario", "Guangdong", "Botswana (O)", "Peru", "United_Kingdom", "alabama", "Alabama ", "New_York", ""})
    EXPECT_EQ(state_code_from_tree_name(name), name) << '"' << name << '"';
}

struct TitleCase {
  const char* title;
  const char* city;
  const char* code;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << '"' << c.title << '"'; }

class StateCodeFromTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(StateCodeFromTitle, SplitsAtTheFirstComma) {
  const auto& c = GetParam();
  const TitleParts parts = state_code_from_title(c.title);
  EXPECT_EQ(parts.city, c.city);
  EXPECT_EQ(parts.code, c.code);
}

INSTANTIATE_TEST_SUITE_P(Titles, StateCodeFromTitle,
                         ::testing::Values(TitleCase{"Tuscaloosa, Alabama", "Tuscaloosa", "AL"},
                                           TitleCase{"Tuscaloosa,   Alabama  ", "Tuscaloosa", "AL"},
                                           TitleCase{"Washington, District of Columbia", "Washington", "DC"},
                                           TitleCase{"Lima, Peru", "Lima", "Peru (O)"},
                                           TitleCase{"London, United_Kingdom", "London", "United Kingdom (O)"},
                                           TitleCase{"London, United Kingdom", "London", ""},
                                           TitleCase{"Paris, France", "Paris", ""},
                                           TitleCase{"Mobile, alabama", "Mobile", ""},
                                           TitleCase{"A, B, Alabama", "A", ""}, TitleCase{",Texas", "", "TX"},
                                           TitleCase{"Springfield", "Springfield", ""}, TitleCase{"", "", ""}));

}  // namespace
}  // namespace cirrodex
