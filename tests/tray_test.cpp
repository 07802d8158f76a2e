#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/core/conditions_icon.h"
#include "app/core/tray_icon.h"
#include "conditions/condition_picture.h"
#include "platform/fakes/fake_tray.h"

namespace cirrodex {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Log = std::vector<std::string>;

const TrayPicture kSun = TrayPicture::filled(16, 0xFFFFD700);
const TrayPicture kMoon = TrayPicture::filled(16, 0xFF202040);

// One icon (id 3) whose window hooks write into the same log as the shell.
struct TrayFixture : ::testing::Test {
  fakes::CallLog log;
  fakes::FakeTray shell{log};
  std::unique_ptr<TOnTray> icon = make_icon();

  std::unique_ptr<TOnTray> make_icon() {
    TrayOwner owner;
    owner.application_window = [this](AppWindowAction a) {
      log.add(a == AppWindowAction::Show   ? "window show"
              : a == AppWindowAction::Hide ? "window hide"
                                           : "window minimize");
    };
    owner.bring_to_front = [this] { log.add("front"); };
    owner.make_foreground = [this] { log.add("foreground"); };
    owner.play_sound = [this](const std::string& name) { log.add("sound: " + name); };
    auto made = std::make_unique<TOnTray>(shell, 3, owner);
    made->on_click = [this] { log.add("click"); };
    made->on_dbl_click = [this] { log.add("double click"); };
    return made;
  }
  // A fresh icon under the same id; the old one goes first, as an id
  // belongs to one icon at a time.
  void renew_icon() {
    icon.reset();
    icon = make_icon();
    log.clear();
  }
  TrayMenu menu(const std::string& name) {
    return [this, name](TrayPoint at) {
      log.add("menu " + name + " " + std::to_string(at.x) + "," + std::to_string(at.y));
    };
  }
  // The icon as the main window sets it up; the log starts empty.
  void set_up_main_icon(bool shown) {
    icon->set_tip("Cirrodex");
    icon->set_picture(kSun);
    icon->right_menu = menu("right");
    icon->set_restore_on_left(true);
    icon->set_shown(shown);
    icon->set_active(true);
    log.clear();
  }
};

struct ShellCase {
  const char* name;
  std::function<void(TOnTray&)> steps;
  Log expected;
  std::string tip = "";  // what the icon reports afterwards
};

const std::string kLongTip(70, 'x');

const ShellCase kShellCases[] = {
    {"same tip twice calls the shell once",
     [](TOnTray& t) {
       t.set_picture(kSun);
       t.set_active(true);
       t.set_tip("Sunny && 72");
       t.set_tip("Sunny && 72");
     },
     {"tray add 3 tip=", "tray modify 3 tip=Sunny && 72"},
     "Sunny && 72"},
    {"active without a picture stays away until one is set, then pictures modify",
     [](TOnTray& t) {
       t.set_tip("Cirrodex");
       t.set_active(true);
       t.set_picture(kSun);
       t.set_picture(kMoon);
     },
     {"tray remove 3", "tray remove 3", "tray add 3 tip=Cirrodex", "tray modify 3 tip=Cirrodex"},
     "Cirrodex"},
    {"deactivating removes; a picture set meanwhile is added on return",
     [](TOnTray& t) {
       t.set_picture(kSun);
       t.set_active(true);
       t.set_active(false);
       t.set_picture(kMoon);
       t.set_active(true);
     },
     {"tray add 3 tip=", "tray remove 3", "tray add 3 tip="}},
    {"an empty picture removes the icon; the next picture adds it again",
     [](TOnTray& t) {
       t.set_active(true);
       t.set_picture(kSun);
       t.set_picture(TrayPicture{});
       t.set_picture(kMoon);
     },
     {"tray remove 3", "tray add 3 tip=", "tray remove 3", "tray add 3 tip="}},
    {"the shell gets at most 63 characters of the tip",
     [](TOnTray& t) {
       t.set_picture(kSun);
       t.set_active(true);
       t.set_tip(kLongTip);
     },
     {"tray add 3 tip=", "tray modify 3 tip=" + std::string(63, 'x')},
     kLongTip},
    {"shown state and restore-on-left refresh the icon",
     [](TOnTray& t) {
       t.set_picture(kSun);
       t.set_active(true);
       t.set_shown(false);
       t.set_restore_on_left(true);
     },
     {"tray add 3 tip=", "tray modify 3 tip=", "window hide", "tray modify 3 tip="}},
};

TEST_F(TrayFixture, ShellCallsFollowTheIconState) {
  for (const ShellCase& c : kShellCases) {
    SCOPED_TRACE(c.name);
    renew_icon();
    c.steps(*icon);
    EXPECT_THAT(log.entries, ElementsAreArray(c.expected));
    EXPECT_EQ(icon->tip(), c.tip);
    // The shell shows exactly what the icon holds.
    const fakes::FakeTray::Icon* shown = shell.icon(3);
    ASSERT_EQ(shown != nullptr, icon->present());
    if (shown) {
      EXPECT_EQ(shown->picture, icon->picture());
    }
  }
}

TEST_F(TrayFixture, DestroyingRemovesTheIconAndStopsItsEvents) {
  set_up_main_icon(true);
  icon.reset();
  EXPECT_THAT(log.entries, ElementsAre("tray remove 3"));
  EXPECT_EQ(shell.icon(3), nullptr);
  EXPECT_FALSE(shell.press(3, TrayButton::Left));
}

struct ClickCase {
  const char* name;
  TrayButton button;
  const char* restoring;  // the buttons that restore: L, R, M
  bool menus;             // left and middle menus set besides the right one
  bool shown;
  Log expected;
};

// clang-format off
const ClickCase kClickCases[] = {
    {"left restores a hidden window and plays sMax", TrayButton::Left, "L", true, false,
     {"tray modify 3 tip=Cirrodex", "window show", "front", "sound: sMax", "foreground", "click"}},
    {"left without restore opens the left menu in front of a shown window", TrayButton::Left, "", true, true,
     {"foreground", "front", "menu left 10,20", "foreground", "click"}},
    {"left with neither restore nor menu only clicks", TrayButton::Left, "", false, true,
     {"foreground", "click"}},
    {"right opens its menu at the cursor; a hidden window stays behind", TrayButton::Right, "L", true, false,
     {"foreground", "menu right 10,20", "foreground", "click"}},
    {"right with restore restores without a sound", TrayButton::Right, "R", true, false,
     {"tray modify 3 tip=Cirrodex", "window show", "front", "foreground", "click"}},
    {"middle with restore restores", TrayButton::Middle, "M", true, false,
     {"tray modify 3 tip=Cirrodex", "window show", "front", "foreground", "click"}},
    {"middle opens the middle menu", TrayButton::Middle, "LR", true, true,
     {"foreground", "front", "menu middle 10,20", "foreground", "click"}},
};
// clang-format on

TEST_F(TrayFixture, ClicksRestoreOrOpenTheButtonsMenu) {
  for (const ClickCase& c : kClickCases) {
    SCOPED_TRACE(c.name);
    renew_icon();
    set_up_main_icon(c.shown);
    const std::string restoring = c.restoring;
    icon->set_restore_on_left(restoring.find('L') != std::string::npos);
    icon->restore_on_right = restoring.find('R') != std::string::npos;
    icon->restore_on_middle = restoring.find('M') != std::string::npos;
    if (c.menus) {
      icon->left_menu = menu("left");
      icon->middle_menu = menu("middle");
    } else {
      icon->right_menu = nullptr;
    }
    log.clear();
    ASSERT_TRUE(shell.press(3, c.button, {10, 20}));
    EXPECT_THAT(log.entries, ElementsAreArray(c.expected));
    const char letter = c.button == TrayButton::Left ? 'L' : c.button == TrayButton::Right ? 'R' : 'M';
    EXPECT_EQ(icon->shown(), c.shown || restoring.find(letter) != std::string::npos);
  }
}

TEST_F(TrayFixture, DoubleClickBringsTheOwnerForwardWithoutRestoring) {
  set_up_main_icon(false);
  ASSERT_TRUE(shell.double_click(3));
  EXPECT_THAT(log.entries, ElementsAre("foreground", "double click"));
  EXPECT_FALSE(icon->shown());
}

TEST_F(TrayFixture, HidingWithoutATrayOnlyMinimizes) {
  const struct {
    bool available;
    const char* action;
  } cases[] = {{true, "window hide"}, {false, "window minimize"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    set_up_main_icon(true);
    shell.set_available(c.available);
    EXPECT_EQ(icon->available(), c.available);
    icon->set_shown(false);
    EXPECT_THAT(log.entries, ElementsAre("tray modify 3 tip=Cirrodex", c.action));
  }
}

// The main icon while conditions are known.
const std::string kTemperature =
    "72\xB0"
    "F";

struct IconFixture : ::testing::Test {
  fakes::CallLog log;
  fakes::FakeTray shell{log};
  TOnTray icon{shell, 0, {}};
  std::vector<TrayPicture> pictures;

  void SetUp() override {
    for (std::uint32_t i = 0; i < kConditionPictureCount; ++i)
      pictures.push_back(TrayPicture::filled(16, 0xFF000000 | i));
    icon.set_tip("Cirrodex");
    icon.set_picture(TrayPicture::filled(16, 0xFFFFFFFF));
    icon.set_active(true);
  }
  Readings readings(const std::string& conditions) {
    Readings r;
    r.Conditions = conditions;
    r.Temperature = kTemperature;
    return r;
  }
};

TEST_F(IconFixture, ConditionsSetTipAndPicture) {
  show_conditions_on_icon(icon, pictures, readings("Partly Cloudy"), 13);
  ASSERT_NE(shell.icon(0), nullptr);
  EXPECT_EQ(shell.icon(0)->tip, "Partly Cloudy && " + kTemperature);
  EXPECT_EQ(shell.icon(0)->picture, pictures[4]);

  show_conditions_on_icon(icon, pictures, readings("Clear"), 22);
  EXPECT_EQ(shell.icon(0)->tip, "Clear && " + kTemperature);
  EXPECT_EQ(shell.icon(0)->picture, pictures[15]);
}

TEST_F(IconFixture, AMissingPictureKeepsTheOldOne) {
  const TrayPicture before = icon.picture();
  pictures[14] = TrayPicture{};
  show_conditions_on_icon(icon, pictures, readings("Sunny"), 12);
  EXPECT_EQ(shell.icon(0)->picture, before);  // an empty picture would take the icon away
  EXPECT_EQ(shell.icon(0)->tip, "Sunny && " + kTemperature);
}

}  // namespace
}  // namespace cirrodex
