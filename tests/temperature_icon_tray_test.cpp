// The temperature icons in the notification area: the main icon's picture
// with TempIcon "y", the extra icons made on first use with their tips and
// menu, the failure texts, removal when turned off and at exit.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "app/core/temperature_icons.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_tray.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;
const std::string kDeg(1, '\xB0');
const TrayPicture kProgram = TrayPicture::filled(16, 0xFF112233);
const TrayPicture kConditions = TrayPicture::filled(16, 0xFF445566);

// A shell that refuses to add the icons of the ids it is given, by throwing
// (as a failing allocation would).
class FailingTray final : public Tray {
 public:
  explicit FailingTray(Tray& inner) : inner_(inner) {}
  void add(int id, const TrayPicture& picture, const std::string& tip) override {
    if (failing.count(id) != 0) throw std::runtime_error("no icon");
    inner_.add(id, picture, tip);
  }
  void modify(int id, const TrayPicture& picture, const std::string& tip) override { inner_.modify(id, picture, tip); }
  void remove(int id) override { inner_.remove(id); }
  void set_listener(int id, Listener listener) override { inner_.set_listener(id, std::move(listener)); }
  bool available() const override { return true; }
  std::set<int> failing;

 private:
  Tray& inner_;
};

struct IconsRig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakeTray tray{log};
  FailingTray shell{tray};
  Settings settings{store, host, KeyCheck::Strict};
  Readings readings;
  TOnTray main{shell, 0, {}};
  // What the painter drew, by text; a picture of its own for each.
  std::map<std::string, TrayPicture> drawn;
  std::set<std::string> undrawable;  // texts the painter fails on
  std::unique_ptr<TemperatureIcons> icons;

  IconsRig() {
    main.set_tip("Cirrodex");
    main.set_picture(kProgram);
    main.set_active(true);
    main.set_picture(kConditions);
    display.set_caption("Cirrodex - Tuscaloosa, AL");
    readings.Temperature = "72" + kDeg + "F";
    readings.HeatIndex = "105" + kDeg + "F";
    readings.WindChill = "-15" + kDeg + "F";
    ExtraIconSetup setup;
    setup.program_picture = kProgram;
    setup.right_menu = [this](TrayPoint at) { log.add("right menu at " + std::to_string(at.x)); };
    icons = std::make_unique<TemperatureIcons>(
        shell, settings, host, display, readings,
        [this](const IconPicture& p) {
          log.add("draw " + std::string(icon_name(p.kind)) + " text=" + p.text.text +
                  " size=" + std::to_string(p.layout.size) + " x=" + std::to_string(p.layout.x) + " color=" + p.colour);
          if (undrawable.count(p.text.text) != 0) throw std::invalid_argument("cannot draw");
          auto& picture = drawn[p.text.text];
          picture = TrayPicture::filled(32, 0xFF000000u + static_cast<std::uint32_t>(drawn.size()));
          return picture;
        },
        [this]() -> TCustomOnTray* { return &main; }, setup);
    log.clear();
  }
  const fakes::FakeTray::Icon* shown(int id) const { return tray.icon(id); }
};

TEST(TemperatureIcons, BothIconsAndTheExtrasMakeFourIcons) {
  IconsRig rig;
  rig.settings.set("TempIcon", "b");
  rig.settings.set("HindexIcon", "y");
  rig.settings.set("WindcIcon", "y");
  rig.log.clear();
  rig.icons->make_icons();

  // Each new icon comes up with the program's picture and title, then takes
  // its number and its tip. (The tip set before the icon is active clears
  // the shell's id first, which the shell ignores.)
  EXPECT_EQ(
      rig.log.entries,
      (Calls{"draw temperature text=72" + kDeg + " size=17 x=1 color=clBlue", "tray remove 1",
             "tray add 1 tip=Cirrodex", "tray modify 1 tip=Cirrodex", "tray modify 1 tip=Cirrodex - Tuscaloosa, AL",
             "draw heatindex text=105" + kDeg + " size=14 x=1 color=clMaroon", "tray remove 2",
             "tray add 2 tip=Cirrodex", "tray modify 2 tip=Cirrodex",
             "tray modify 2 tip=Cirrodex - Tuscaloosa, AL- Heat Index",
             "draw windchill text=-15" + kDeg + " size=14 x=1 color=clNavy", "tray remove 3", "tray add 3 tip=Cirrodex",
             "tray modify 3 tip=Cirrodex", "tray modify 3 tip=Cirrodex - Tuscaloosa, AL- Windchill"}));
  ASSERT_TRUE(rig.shown(0) && rig.shown(1) && rig.shown(2) && rig.shown(3));
  EXPECT_EQ(rig.shown(0)->picture, kConditions) << "the main icon keeps the condition picture";
  EXPECT_EQ(rig.shown(1)->picture, rig.drawn["72" + kDeg]);
  EXPECT_EQ(rig.shown(2)->picture, rig.drawn["105" + kDeg]);
  EXPECT_EQ(rig.shown(3)->picture, rig.drawn["-15" + kDeg]);

  // The next reading reuses them; a changed caption reaches the tips.
  rig.readings.Temperature = "73" + kDeg + "F";
  rig.display.set_caption("Cirrodex - Boston, MA");
  rig.log.clear();
  rig.icons->make_icon(IconKind::Temperature);
  EXPECT_EQ(rig.log.entries,
            (Calls{"draw temperature text=73" + kDeg + " size=17 x=1 color=clBlue",
                   "tray modify 1 tip=Cirrodex - Tuscaloosa, AL", "tray modify 1 tip=Cirrodex - Boston, MA"}));
  EXPECT_EQ(rig.shown(1)->picture, rig.drawn["73" + kDeg]);

  // An extra icon opens the main icon's right menu.
  rig.log.clear();
  ASSERT_TRUE(rig.tray.press(2, TrayButton::Right, {40, 0}));
  EXPECT_EQ(rig.log.entries, Calls{"right menu at 40"});
}

TEST(TemperatureIcons, TemperatureInTheMainIcon) {
  IconsRig rig;
  rig.settings.set("TempIcon", "y");
  rig.settings.set("tempiconcolor", "clGreen");
  rig.log.clear();
  rig.icons->make_icons();
  EXPECT_EQ(rig.log.entries,
            (Calls{"draw temperature text=72" + kDeg + " size=17 x=1 color=clGreen", "tray modify 0 tip=Cirrodex"}));
  EXPECT_EQ(rig.shown(0)->picture, rig.drawn["72" + kDeg]);
  EXPECT_EQ(rig.shown(1), nullptr);
  EXPECT_EQ(rig.icons->extra(IconKind::Temperature), nullptr);
}

TEST(TemperatureIcons, AnEmptyReadingLeavesItsIconAsItIs) {
  IconsRig rig;
  rig.settings.set("TempIcon", "y");
  rig.readings.Temperature.clear();
  rig.log.clear();
  rig.icons->make_icons();
  EXPECT_TRUE(rig.log.entries.empty());
  EXPECT_EQ(rig.shown(0)->picture, kConditions);
}

TEST(TemperatureIcons, ADrawingFailureIsReportedAndTheNextIconFollows) {
  struct Case {
    std::string undrawable;
    Calls report;
  };
  const Case cases[] = {
      {"72" + kDeg, {"beep", "status: Error occurred creating Temperature icon.", "pause: 1200"}},
      {"105" + kDeg, {"beep", "status: Error occurred creating Heat Index icon.", "pause: 1800"}},
      {"-15" + kDeg, {"beep", "status: Error occurred creating Windchill icon.", "pause: 2500"}},
  };
  for (const Case& c : cases) {
    IconsRig rig;
    rig.settings.set("TempIcon", "b");
    rig.settings.set("HindexIcon", "y");
    rig.settings.set("WindcIcon", "y");
    rig.undrawable = {c.undrawable};
    rig.log.clear();
    rig.icons->make_icons();
    EXPECT_EQ(rig.log.with_prefix("beep").size() + rig.log.with_prefix("status: ").size() +
                  rig.log.with_prefix("pause: ").size(),
              3u);
    const auto at = std::find_if(rig.log.entries.begin(), rig.log.entries.end(),
                                 [&](const std::string& e) { return e.find("text=" + c.undrawable) != e.npos; });
    ASSERT_NE(at, rig.log.entries.end());
    EXPECT_EQ(Calls(at + 1, at + 4), c.report) << c.undrawable;
    // The icons that could be drawn are all there; the failed one was never made.
    EXPECT_EQ(rig.drawn.size(), 2u);
    int present = 0;
    for (int id : {1, 2, 3}) present += rig.shown(id) ? 1 : 0;
    EXPECT_EQ(present, 2) << c.undrawable;
  }
}

TEST(TemperatureIcons, ABackgroundThatIsNoColourFailsLikeADrawing) {
  // The painter the program gives refuses it; here the rig's painter is told
  // to, and the colour text reaches it as stored.
  IconsRig rig;
  rig.settings.set("HindexIcon", "y");
  rig.settings.set("Hindexiconcolor", "purple-ish");
  rig.undrawable = {"105" + kDeg};
  rig.log.clear();
  rig.icons->make_icons();
  EXPECT_EQ(rig.log.entries.front(), "draw heatindex text=105" + kDeg + " size=14 x=1 color=purple-ish");
  EXPECT_EQ(rig.host.status(), "Error occurred creating Heat Index icon.");
}

TEST(TemperatureIcons, AnIconThatCannotBeMadeStopsTheStepAndIsTriedAgain) {
  IconsRig rig;
  rig.settings.set("TempIcon", "b");
  rig.settings.set("HindexIcon", "y");
  rig.settings.set("WindcIcon", "y");
  rig.shell.failing = {2};
  rig.log.clear();
  EXPECT_THROW(rig.icons->make_icons(), std::runtime_error);
  EXPECT_NE(rig.icons->extra(IconKind::Temperature), nullptr);
  EXPECT_EQ(rig.icons->extra(IconKind::HeatIndex), nullptr) << "marked as not made";
  EXPECT_EQ(rig.icons->extra(IconKind::WindChill), nullptr) << "skipped after the failure";
  EXPECT_TRUE(rig.log.with_prefix("draw windchill").empty());

  rig.shell.failing.clear();
  rig.icons->make_icons();
  EXPECT_NE(rig.icons->extra(IconKind::HeatIndex), nullptr);
  EXPECT_NE(rig.icons->extra(IconKind::WindChill), nullptr);
  ASSERT_TRUE(rig.shown(2));
  EXPECT_EQ(rig.shown(2)->tip, "Cirrodex - Tuscaloosa, AL- Heat Index");
}

TEST(TemperatureIcons, TurningAnOptionOffRemovesItsIconAtOnce) {
  struct Case {
    const char* key;
    const char* value;
    int removed;
  };
  const Case cases[] = {
      {"TempIcon", "", 1}, {"TempIcon", "y", 1}, {"HindexIcon", "", 2}, {"WindcIcon", "", 3}, {"WindcIcon", "n", 3},
  };
  for (const Case& c : cases) {
    IconsRig rig;
    rig.settings.set("TempIcon", "b");
    rig.settings.set("HindexIcon", "y");
    rig.settings.set("WindcIcon", "y");
    rig.icons->make_icons();
    rig.settings.set(c.key, c.value);
    rig.log.clear();
    rig.icons->remove_turned_off();
    EXPECT_EQ(rig.log.entries, Calls{"tray remove " + std::to_string(c.removed)}) << c.key << "=" << c.value;
    for (int id : {1, 2, 3}) EXPECT_EQ(rig.shown(id) != nullptr, id != c.removed) << c.key << " id " << id;
    // Nothing else changes when nothing more is turned off.
    rig.log.clear();
    rig.icons->remove_turned_off();
    EXPECT_TRUE(rig.log.entries.empty());
  }
}

TEST(TemperatureIcons, CloseRemovesTheExtrasAndMakesNothingMore) {
  IconsRig rig;
  rig.settings.set("TempIcon", "b");
  rig.settings.set("WindcIcon", "y");
  rig.icons->make_icons();
  rig.log.clear();
  rig.icons->close();
  EXPECT_EQ(rig.log.entries, (Calls{"tray remove 1", "tray remove 3"}));
  rig.log.clear();
  rig.icons->make_icons();
  EXPECT_TRUE(rig.log.entries.empty());
}

}  // namespace
}  // namespace cirrodex
