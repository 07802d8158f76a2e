// TfrmLocation offscreen: the tree as shown, Find and Next, OK's outcomes,
// Cancel and closing, and the please-wait window's animation.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "app/location_window.h"
#include "app/splash_window.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"

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
    "\t\tFrance\n"
    "\t\t\tAbbeville\n"
    "\t\tGreece\n"
    "\t\t\tTripoli\n"
    "\tNorth America\n"
    "\t\tUnited States\n"
    "\t\t\tAlabama\n"
    "\t\t\t\tMuscle_Shoals\n";

struct Rig {
  LocationTree tree = LocationTree::parse(kTree);
  fakes::CallLog log;
  fakes::FakeHost host{log};
  std::vector<LocationContext> fetched;
  std::vector<std::string> sounds;
  int help = 0;
  TfrmLocation window{tree, host,
                      LocationWindowHooks{
                          [this](const LocationContext& c) { fetched.push_back(c); },
                          [this](std::string_view s) { sounds.emplace_back(s); },
                          [this] { ++help; },
                      }};
  Rig() { window.show(); }
  std::string selected() const { return tree.path_text(window.index_of(window.tree_view()->currentItem())); }
  std::vector<std::string> messages() const { return log.with_prefix("message: "); }
};

TEST(LocationWindow, ShowsTheTreeInFileOrderWithTheCount) {
  Rig rig;
  EXPECT_EQ(rig.window.windowTitle(), "Cirrodex - Choose Location");
  EXPECT_EQ(rig.window.size(), QSize(444, 324));
  auto* view = rig.window.tree_view();
  ASSERT_EQ(view->topLevelItemCount(), 1);
  const QTreeWidgetItem* root = view->topLevelItem(0);
  EXPECT_TRUE(root->isExpanded());
  ASSERT_EQ(root->childCount(), 4);
  EXPECT_EQ(root->child(3)->text(0), "North America");
  EXPECT_FALSE(root->child(0)->isExpanded());
  EXPECT_FALSE(root->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(rig.window.count_label()->text(), "Total locations available above: 16");
  EXPECT_EQ(view->indentation(), 19);
  EXPECT_EQ(rig.window.splitter()->handleWidth(), 6);
}

TEST(LocationWindow, FindAndNextWalkTheMatchesThenSaySorry) {
  Rig rig;
  rig.window.search_box()->setText("tripoli");
  rig.window.find();
  EXPECT_EQ(rig.selected(), "Continent\\Asia\\Lebanon\\Tripoli\\");
  EXPECT_TRUE(rig.window.tree_view()->currentItem()->parent()->isExpanded());
  rig.window.find_next();
  EXPECT_EQ(rig.selected(), "Continent\\Europe\\Greece\\Tripoli\\");
  EXPECT_TRUE(rig.messages().empty());
  rig.window.find_next();
  ASSERT_EQ(rig.messages().size(), 1u);
  EXPECT_EQ(rig.messages()[0].rfind("message: Sorry, next \"tripoli\" was not found. ", 0), 0u);
  // Find always starts from the top; the last match survives closing.
  rig.window.close();
  EXPECT_FALSE(rig.window.isVisible());
  rig.window.show();
  rig.window.find_next();
  EXPECT_EQ(rig.messages().size(), 2u);
  rig.window.find();
  EXPECT_EQ(rig.selected(), "Continent\\Asia\\Lebanon\\Tripoli\\");
  rig.window.search_box()->setText("Trip");
  rig.window.find();
  EXPECT_EQ(rig.messages().back().rfind("message: Sorry, \"Trip\" was not found. ", 0), 0u);
}

TEST(LocationWindow, OkFetchesOrKeepsTheChooserOpen) {
  struct Case {
    const char* search;  // node to select, or nullptr for the root
    const char* zip;
    bool fetches;
    const char* message;
  };
  const Case cases[] = {
      {"Francistown", "", true, nullptr},
      {"Muscle_Shoals", "", true, nullptr},
      {"France", "", false, "Error - please select a State."},
      {"Europe", "", false, "Error - please select a Country."},
      {"Europe", "12345", true, nullptr},
      {nullptr, "", false, "Please select your location for weather conditions."},
  };
  for (const auto& c : cases) {
    Rig rig;
    if (c.search) {
      rig.window.search_box()->setText(c.search);
      rig.window.find();
    } else {
      rig.window.tree_view()->setCurrentItem(rig.window.item_at(0));
    }
    QTest::keyClicks(rig.window.zip_box(), c.zip);
    rig.window.ok();
    EXPECT_EQ(rig.fetched.size(), c.fetches ? 1u : 0u) << c.search;
    EXPECT_EQ(rig.window.isVisible(), !c.fetches) << c.search;
    if (c.fetches) {
      EXPECT_EQ(rig.sounds, std::vector<std::string>{"sOkay"});
      EXPECT_TRUE(rig.log.entries.empty());
    } else {
      EXPECT_EQ(rig.log.entries, (std::vector<std::string>{"beep", std::string("message: ") + c.message}));
      EXPECT_TRUE(rig.sounds.empty());
    }
  }
  Rig rig;
  rig.window.search_box()->setText("Muscle_Shoals");
  rig.window.find();
  rig.window.ok();
  ASSERT_EQ(rig.fetched.size(), 1u);
  EXPECT_EQ(rig.fetched[0].country, "United States");
  EXPECT_EQ(rig.fetched[0].state_or_country, "AL");
  EXPECT_EQ(rig.fetched[0].city, "Muscle_Shoals");
  // Opening again empties the zip box.
  QTest::keyClicks(rig.window.zip_box(), "35661");
  rig.window.show();
  EXPECT_EQ(rig.window.zip_box()->text(), "");
}

TEST(LocationWindow, ZipBoxTakesFiveDigitsOnly) {
  Rig rig;
  QTest::keyClicks(rig.window.zip_box(), "1a2b34567");
  EXPECT_EQ(rig.window.zip_box()->text(), "12345");
}

TEST(LocationWindow, CancelCloseAndHelp) {
  Rig rig;
  rig.window.cancel();
  EXPECT_FALSE(rig.window.isVisible());
  EXPECT_EQ(rig.sounds, std::vector<std::string>{"sCancel"});
  rig.window.show();
  QTest::keyClick(&rig.window, Qt::Key_F1);
  EXPECT_EQ(rig.help, 1);
  EXPECT_TRUE(rig.fetched.empty());
}

TEST(PleaseWait, BusyRunsTheAnimationInPlaceOfTheGauge) {
  TfrmPleaseWait wait;
  wait.show();
  wait.set_busy(true);
  EXPECT_TRUE(wait.animation()->isVisible());
  EXPECT_FALSE(wait.gauge()->isVisible());
  EXPECT_TRUE(wait.animation()->running());
  QTest::qWait(200);
  EXPECT_GT(wait.animation()->frame(), 0);
  wait.set_busy(false);
  EXPECT_FALSE(wait.animation()->running());
  EXPECT_TRUE(wait.gauge()->isVisible());
}

}  // namespace
}  // namespace cirrodex
