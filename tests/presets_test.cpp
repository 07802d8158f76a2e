#include "locations/presets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

const std::string kFullList =
    "Sorry, you can only have up to 20 preset locations. \r"
    "Please use the Clear option under Get_Stats to clear the locations and start over.";

class PresetsTest : public ::testing::Test {
 protected:
  // Puts values straight into the store, slot 0 upwards; nothing is logged.
  void seed(const Lines& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
      store.write(kSectionLocations, preset_key(static_cast<int>(i)), values[i]);
  }
  // n distinct presets "Place_10, AL", "Place_11, AL", ...
  void seed_count(int n) {
    Lines values;
    for (int i = 0; i < n; ++i) values.push_back("Place_" + std::to_string(10 + i) + ", AL");
    seed(values);
  }
  std::string slot(int n) { return store.read(kSectionLocations, preset_key(n)).value_or("<absent>"); }
  std::size_t writes() const { return store.writes().size(); }

  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakePresetMenu menu{log};
  fakes::MemorySettingsStore store;
  Settings settings{store, host, KeyCheck::Strict};
  PresetList presets{settings, host, menu};
};

// The calls clear_presets makes, in order.
Lines cleared() {
  Lines out{"beep"};
  for (int i = 0; i < kPresetSlots; ++i) out.push_back("preset " + std::to_string(i) + " hidden");
  out.push_back("repaint");
  return out;
}

Lines concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(PresetsTest, ReadingStopsAtTheFirstAbsentSlot) {
  seed({"Anchorage, AK", "Denver, CO"});
  store.write(kSectionLocations, "loc3", "Boise, ID");
  EXPECT_THAT(presets.read_presets(), ElementsAre("Anchorage, AK", "Denver, CO"));
}

TEST_F(PresetsTest, ReadingNeverGoesPastSlot19) {
  seed_count(21);  // loc20 is no key of the table: reading it would throw
  EXPECT_EQ(presets.read_presets().size(), 20u);
}

TEST_F(PresetsTest, LoadFillsTheEntriesInSlotOrder) {
  seed({"denver, CO", "Anchorage, AK"});
  presets.load_presets();
  EXPECT_THAT(log.entries, ElementsAre("preset 0=denver, CO", "preset 1=Anchorage, AK"));
}

TEST_F(PresetsTest, SortIgnoresCaseAndRewritesSlotsAndEntries) {
  seed({"denver, CO", "Anchorage, AK", "Eugene, OR"});
  presets.rewrite_presets("Eugene, OR");  // not in removal mode: nothing is dropped
  EXPECT_THAT(log.entries, ElementsAreArray(concat(cleared(), {"preset 0=Anchorage, AK", "preset 1=denver, CO",
                                                               "preset 2=Eugene, OR", "pause: 500"})));
  EXPECT_THAT(store.erased(), ElementsAre("Locations"));
  EXPECT_THAT(presets.read_presets(), ElementsAre("Anchorage, AK", "denver, CO", "Eugene, OR"));
}

TEST_F(PresetsTest, SortKeepsTheOrderOfEntriesEqualButForCase) {
  seed({"Zion, UT", "mobile, AL", "MOBILE, AL", "Mobile, AL"});
  presets.rewrite_presets("");
  EXPECT_THAT(presets.read_presets(), ElementsAre("mobile, AL", "MOBILE, AL", "Mobile, AL", "Zion, UT"));
}

TEST_F(PresetsTest, RemovalDropsTheClickedEntryAndEndsRemovalMode) {
  seed({"Eugene, OR", "Boise, ID", "Denver, CO", "Anchorage, AK", "Casper, WY"});
  presets.begin_removal();
  EXPECT_THAT(log.entries,
              ElementsAre("message: Are you sure you want to select and delete a location from the Locations menu?",
                          "message: Please select (click) the location you would like to remove (from the "
                          "Locations menu)."));
  EXPECT_EQ(host.last_kind(), MessageKind::Information);
  EXPECT_EQ(host.last_buttons(), MessageButtons::Ok);
  ASSERT_TRUE(presets.removal_mode());
  log.clear();

  presets.rewrite_presets("Denver, CO");
  EXPECT_FALSE(presets.removal_mode());
  EXPECT_THAT(presets.read_presets(), ElementsAre("Anchorage, AK", "Boise, ID", "Casper, WY", "Eugene, OR"));
  EXPECT_EQ(slot(4), "<absent>");
  EXPECT_FALSE(menu.entry(4).visible);
  EXPECT_EQ(menu.visible_count(), 4);
  EXPECT_EQ(log.entries.back(), "pause: 500");

  // The next sort drops nothing.
  presets.rewrite_presets("Boise, ID");
  EXPECT_EQ(presets.read_presets().size(), 4u);
}

TEST_F(PresetsTest, RemovalAnsweredNoChangesNothing) {
  host.queue_answer(MessageAnswer::No);
  presets.begin_removal();
  EXPECT_EQ(host.last_kind(), MessageKind::Confirmation);
  EXPECT_EQ(host.last_buttons(), MessageButtons::YesNo);
  EXPECT_EQ(log.entries.size(), 1u);
  EXPECT_FALSE(presets.removal_mode());
}

TEST_F(PresetsTest, ClearErasesTheSectionAndHidesEveryEntry) {
  seed({"Anchorage, AK", "Denver, CO"});
  presets.load_presets();
  log.clear();
  presets.clear_presets();
  EXPECT_THAT(log.entries, ElementsAreArray(cleared()));
  EXPECT_THAT(store.erased(), ElementsAre("Locations"));
  EXPECT_FALSE(store.has_section("Locations"));
  EXPECT_EQ(menu.visible_count(), 0);
  EXPECT_EQ(menu.entry(0).caption, "");
}

// --- Remembering a fetched location ---------------------------------------

struct TitleCase {
  const char* what;
  const char* location_name;
  const char* city;
  const char* state_or_country;
  const char* zip;
  const char* title;
  const char* state_or_country_after;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << '"' << c.title << '"'; }

class PresetTitle : public PresetsTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(PresetTitle, NewLocationIsAddedToTheFirstFreeSlot) {
  const auto& c = GetParam();
  seed({"Anchorage, AK"});
  LocationContext ctx{"", "US", c.state_or_country, c.city, c.zip};
  std::string preset_title = "old";
  presets.add_preset_location(c.location_name, false, ctx, preset_title);

  const std::string title = c.title;
  EXPECT_THAT(log.entries,
              ElementsAre("message: Location added to Locations menu: " + title, "preset 1=" + title, "repaint"));
  EXPECT_EQ(host.last_kind(), MessageKind::Information);
  EXPECT_EQ(host.last_buttons(), MessageButtons::Ok);
  EXPECT_EQ(slot(1), title);
  EXPECT_EQ(preset_title, title);
  EXPECT_EQ(ctx.state_or_country, c.state_or_country_after);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PresetTitle,
    ::testing::Values(TitleCase{"UsCity", "Muscle Shoals, Alabama", "Muscle_Shoals", "AL", "", "Muscle_Shoals, AL",
                                "AL"},
                      TitleCase{"ZipTakesCityAndStateFromThePage", "Tuscaloosa, Alabama", "Mobile", ".", "35401",
                                "35401 - Tuscaloosa, AL", "AL"},
                      TitleCase{"ZipWithUnknownState", "Windsor, Ontario", "", ".", "12345", "12345 - Windsor, ", ""},
                      TitleCase{"ZipWithoutComma", "Tuscaloosa", "", "AL", "35401", "35401 - Tuscaloosa, ", ""},
                      TitleCase{"OneCharacterZipIsNoZip", "Mobile, Alabama", "Mobile", "AL", "3", "Mobile, AL", "AL"},
                      TitleCase{"NonUs", "Francistown, Botswana", "Francistown", "Botswana (O)", "",
                                "Francistown, Botswana (O)", "Botswana (O)"},
                      TitleCase{"ShortestValid", "x", "AB", "C", "", "AB, C", "C"},
                      TitleCase{"KnownOnlyWhenExactlyEqual", "x", "ANCHORAGE", "AK", "", "ANCHORAGE, AK", "AK"}),
    [](const auto& p) { return std::string(p.param.what); });

TEST_F(PresetsTest, AutomaticFetchDoesNothingAtAll) {
  LocationContext ctx{"", "US", ".", "", "35401"};
  std::string preset_title = "old";
  presets.add_preset_location("Tuscaloosa, Alabama", true, ctx, preset_title);
  EXPECT_THAT(log.entries, IsEmpty());
  EXPECT_EQ(store.reads(), 0);
  EXPECT_EQ(writes(), 0u);
  EXPECT_EQ(preset_title, "old");
  EXPECT_EQ(ctx.state_or_country, ".");
}

TEST_F(PresetsTest, ShortTitleIsRefused) {
  for (const char* city : {"", "A"}) {
    log.clear();
    LocationContext ctx{"", "US", "B", city, ""};
    std::string preset_title = "old";
    presets.add_preset_location("x", false, ctx, preset_title);
    const std::string title = std::string(city) + ", B";
    EXPECT_THAT(log.entries, ElementsAre("message: Error - invalid location (titlex):" + title));
    EXPECT_EQ(host.last_kind(), MessageKind::Warning);
    EXPECT_EQ(preset_title, "old");
  }
  EXPECT_EQ(writes(), 0u);
}

TEST_F(PresetsTest, KnownLocationBecomesThePresetTitleWithoutAWrite) {
  seed({"Anchorage, AK", "Denver, CO", "Muscle_Shoals, AL"});
  const std::size_t before = writes();
  LocationContext ctx{"", "US", "AL", "Muscle_Shoals", ""};
  std::string preset_title;
  presets.add_preset_location("Muscle Shoals, Alabama", false, ctx, preset_title);
  EXPECT_THAT(log.entries, IsEmpty());
  EXPECT_EQ(writes(), before);
  EXPECT_EQ(preset_title, "Muscle_Shoals, AL");
}

TEST_F(PresetsTest, KnownLocationPastAGapIsStillKnown) {
  seed({"Anchorage, AK"});
  store.write(kSectionLocations, "loc2", "Muscle_Shoals, AL");
  const std::size_t before = writes();
  LocationContext ctx{"", "US", "AL", "Muscle_Shoals", ""};
  std::string preset_title;
  presets.add_preset_location("Muscle Shoals, Alabama", false, ctx, preset_title);
  EXPECT_THAT(log.entries, IsEmpty());
  EXPECT_EQ(writes(), before);
  EXPECT_EQ(slot(1), "<absent>");
}

TEST_F(PresetsTest, NineteenInUseTheNewTitleGoesToSlot19) {
  seed_count(19);
  LocationContext ctx{"", "US", "AL", "Muscle_Shoals", ""};
  std::string preset_title;
  presets.add_preset_location("Muscle Shoals, Alabama", false, ctx, preset_title);
  EXPECT_THAT(log.entries, ElementsAre("message: Location added to Locations menu: Muscle_Shoals, AL",
                                       "preset 19=Muscle_Shoals, AL", "repaint"));
  EXPECT_EQ(slot(19), "Muscle_Shoals, AL");
  EXPECT_EQ(presets.read_presets().size(), 20u);
}

TEST_F(PresetsTest, TwentyInUseANewLocationIsRefused) {
  seed_count(20);
  const std::size_t before = writes();
  LocationContext ctx{"", "US", "AL", "Muscle_Shoals", ""};
  std::string preset_title;
  presets.add_preset_location("Muscle Shoals, Alabama", false, ctx, preset_title);
  EXPECT_THAT(log.entries, ElementsAre("message: " + kFullList));
  EXPECT_EQ(host.last_kind(), MessageKind::Warning);
  EXPECT_EQ(writes(), before);
  EXPECT_EQ(preset_title, "Muscle_Shoals, AL");
}

TEST_F(PresetsTest, TwentyInUseFetchingOneOfThemIsNoFailure) {
  seed_count(20);
  const std::size_t before = writes();
  LocationContext ctx{"", "US", "AL", "Place_27", ""};
  std::string preset_title;
  presets.add_preset_location("Place 27, Alabama", false, ctx, preset_title);
  EXPECT_THAT(log.entries, IsEmpty());
  EXPECT_EQ(writes(), before);
  EXPECT_EQ(preset_title, "Place_27, AL");
}

TEST_F(PresetsTest, TitleOverSixtyCharactersIsUsedButNotAdded) {
  const std::string city60(56, 'x');  // with ", AL" exactly 60
  for (const auto& [city, added] : {std::pair{city60, true}, std::pair{city60 + "y", false}}) {
    log.clear();
    store.erase_section(kSectionLocations);
    LocationContext ctx{"", "US", "AL", city, ""};
    std::string preset_title;
    presets.add_preset_location("x", false, ctx, preset_title);
    EXPECT_EQ(preset_title, city + ", AL");
    EXPECT_EQ(slot(0), added ? city + ", AL" : "<absent>");
    EXPECT_EQ(log.entries.size(), added ? 3u : 0u);
  }
}

}  // namespace
}  // namespace cirrodex
