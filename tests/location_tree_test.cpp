// The location tree: its file form, the exact search and what OK makes of
// a selection, on a small tree.
#include <gtest/gtest.h>

#include "locations/location_tree.h"

namespace cirrodex {
namespace {

constexpr std::string_view kTree =
    "Continent\n"
    "\tAfrica\n"
    "\t\tBotswana\n"
    "\t\t\tFrancistown\n"
    "\tAsia\n"
    "\t\tLebanon\n"
    "\t\t\tTripoli\n"
    "\tEurope\n"
    "\t\tAustria\n"
    "\t\t\tVienna\n"
    "\t\tFrance\n"
    "\t\t\tAbbeville\n"
    "\t\tGreece\n"
    "\t\t\tTRIPOLI\n"
    "\tNorth America\n"
    "\t\tUnited States\n"
    "\t\t\tAlabama\n"
    "\t\t\t\tMuscle_Shoals\n";

int index_of(const LocationTree& tree, std::string_view path) {
  for (int i = 0; i < static_cast<int>(tree.size()); ++i)
    if (tree.path_text(i) == path) return i;
  ADD_FAILURE() << "no node " << path;
  return -1;
}

TEST(LocationTree, ParsesDepthsAndParentsAndRejectsBadShapes) {
  const auto tree = LocationTree::parse(kTree);
  ASSERT_EQ(tree.size(), 18u);
  EXPECT_EQ(tree.path_text(17), "Continent\\North America\\United States\\Alabama\\Muscle_Shoals\\");
  EXPECT_EQ(tree.nodes()[10].parent, 7);  // France under Europe, after Austria's subtree
  EXPECT_EQ(tree.nodes()[10].depth, 2);

  const std::pair<std::string_view, std::string_view> bad[] = {
      {"", "no nodes"},
      {"\tAfrica\n", "line 1"},
      {"Continent\n\t\tBotswana\n", "line 2"},
      {"Continent\n\tAfrica\nSecond\n", "line 3"},
      {"Continent\n\t\n", "line 2"},
  };
  for (const auto& [text, what] : bad) {
    try {
      LocationTree::parse(text);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
    }
  }
}

TEST(LocationTree, SearchIsWholeTextAndBlindOnlyToAsciiCase) {
  const auto tree = LocationTree::parse(kTree);
  const int lebanon_tripoli = index_of(tree, "Continent\\Asia\\Lebanon\\Tripoli\\");
  const int greece_tripoli = index_of(tree, "Continent\\Europe\\Greece\\TRIPOLI\\");
  EXPECT_EQ(tree.find_from("tripoli", 1), lebanon_tripoli);
  EXPECT_EQ(tree.find_from("tripoli", lebanon_tripoli + 1), greece_tripoli);
  EXPECT_EQ(tree.find_from("tripoli", greece_tripoli + 1), std::nullopt);
  EXPECT_EQ(tree.find_from("VIENNA", 1), tree.find_from("Vienna", 1));
  EXPECT_NE(tree.find_from("Vienna", 1), std::nullopt);
  EXPECT_EQ(tree.find_from("Vien", 1), std::nullopt);
  EXPECT_EQ(tree.find_from("Vienna ", 1), std::nullopt);
  EXPECT_EQ(tree.find_from("Continent", 1), std::nullopt);  // the root is never searched
  EXPECT_EQ(tree.find_from("MUSCLE_SHOALS", 1), 17);
  // Only a-z fold: a Latin-1 capital does not match its small letter.
  const auto latin = LocationTree::parse("Continent\n\t\xe9vora\n");
  EXPECT_EQ(latin.find_from("\xc9vora", 1), std::nullopt);
  EXPECT_EQ(latin.find_from("\xe9VORA", 1), 1);
}

TEST(LocationTree, NotFoundMessages) {
  EXPECT_EQ(location_not_found_message("Vien", false),
            "Sorry, \"Vien\" was not found. Please try to find it in the treeview.  If you still cannot find your "
            "location, please e-mail me and I'll see if I can add it for you.");
  EXPECT_EQ(location_not_found_message("x", true).substr(0, 17), "Sorry, next \"x\" w");
}

TEST(LocationTree, OkTurnsTheSelectionIntoALocationContext) {
  const auto tree = LocationTree::parse(kTree);
  using O = LocationChoice::Outcome;
  struct Case {
    std::string path, zip;
    O outcome;
    std::string message, country, state, city, zip_after;
  };
  const Case cases[] = {
      {"Continent\\Africa\\Botswana\\Francistown\\", "", O::Fetch, "", "Africa", "Botswana", "Francistown", ""},
      {"Continent\\North America\\United States\\Alabama\\Muscle_Shoals\\", "", O::Fetch, "", "United States", "AL",
       "Muscle_Shoals", ""},
      {"Continent\\Africa\\Botswana\\Francistown\\", "12345", O::Fetch, "", "", ".", "12345", "12345"},
      {"Continent\\Europe\\", "12345", O::Fetch, "", "", ".", "12345", "12345"},
      {"Continent\\Europe\\", "1", O::SelectError, "Error - please select a Country.", "", "", "", ""},
      {"Continent\\Europe\\France\\", "", O::SelectError, "Error - please select a State.", "", "", "", ""},
      {"Continent\\North America\\United States\\Alabama\\", "", O::Fetch, "", "North America", "United States",
       "Alabama", ""},
      {"Continent\\", "", O::EmptyLocation, "Please select your location for weather conditions.", "", "", "", ""},
  };
  for (const auto& c : cases) {
    const auto choice = choose_location(tree, index_of(tree, c.path), c.zip);
    EXPECT_EQ(choice.outcome, c.outcome) << c.path << " " << c.zip;
    EXPECT_EQ(choice.message, c.message) << c.path;
    EXPECT_EQ(choice.context.country, c.country) << c.path;
    EXPECT_EQ(choice.context.state_or_country, c.state) << c.path;
    EXPECT_EQ(choice.context.city, c.city) << c.path;
    EXPECT_EQ(choice.context.zip, c.zip_after) << c.path;
    EXPECT_EQ(choice.context.requested, "");
  }
  EXPECT_EQ(choose_location(tree, std::nullopt, "").outcome, O::EmptyLocation);
}

}  // namespace
}  // namespace cirrodex
