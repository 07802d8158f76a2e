// The main window offscreen with the built-in skin: the skin's buttons, the
// Alt keys and right clicks open the right menus at the right places,
// menus slide between neighbours, items without a command are disabled,
// and an exception from a command reaches the error report.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_shell.h"
#include "resources/builtin.h"

namespace cirrodex {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(window_.load_default_skin(), "");
    actions_.on(cmd::Disclaimer, [this] { ran_.push_back("disclaimer"); });
    window_.install_menus(actions_);
    window_.move(200, 150);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  void TearDown() override {
    for (const MenuDef& def : main_menus()) window_.menus().menu(def.name)->hide();
  }
  // A left or right press on a point of the skin.
  void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window_.SkinForm1, button, Qt::NoModifier, at);
    QTest::mouseRelease(window_.SkinForm1, button, Qt::NoModifier, at);
  }
  QMenu* menu(MenuName name) { return window_.menus().menu(name); }
  std::vector<MenuName> visible_menus() {
    std::vector<MenuName> out;
    for (const MenuDef& def : main_menus())
      if (menu(def.name)->isVisible()) out.push_back(def.name);
    return out;
  }

  fakes::CallLog log_;
  fakes::FakeHost host_{log_};
  fakes::FakeShell shell_{log_};
  Services services_{*builtin_resource("SERVICES", "CONF")};
  MenuActions actions_{services_, shell_, host_};
  std::vector<std::string> ran_;
  TForm1 window_;
};

// The built-in skin's buttons (left, top, width, height).
const QPoint kOptions(9 + 5, 25 + 5), kLocations(57 + 5, 25 + 5), kImages(109 + 5, 25 + 5), kForecasts(160 + 5, 25 + 5),
    kReports(217 + 5, 25 + 5), kHelp(265 + 5, 25 + 5);

TEST_F(MainWindowTest, SkinButtonsOpenTheirMenuBelowThePressedPoint) {
  struct Row {
    QPoint at;
    MenuName menu;
  };
  for (const Row& row :
       {Row{kOptions, MenuName::Options}, Row{kLocations, MenuName::GetStats}, Row{kImages, MenuName::Images},
        Row{kForecasts, MenuName::Forecasts}, Row{kReports, MenuName::Reports}, Row{kHelp, MenuName::Help}}) {
    press(row.at);
    EXPECT_EQ(visible_menus(), std::vector<MenuName>{row.menu}) << static_cast<int>(row.menu);
    EXPECT_EQ(menu(row.menu)->pos(), window_.SkinForm1->mapToGlobal(row.at) + QPoint(0, 10));
    menu(row.menu)->hide();
  }
  // The right button on a menu button opens nothing of the bar.
  press(kOptions, Qt::RightButton);
  EXPECT_TRUE(visible_menus().empty());
}

TEST_F(MainWindowTest, RightClickOpensTheWindowsOwnMenu) {
  const QPoint at = window_.mapToGlobal(QPoint(100, 150));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(100, 150), at);
  QApplication::sendEvent(&window_, &event);
  EXPECT_EQ(visible_menus(), std::vector<MenuName>{MenuName::PopupForm});
  EXPECT_EQ(menu(MenuName::PopupForm)->pos(), at);
}

TEST_F(MainWindowTest, AltKeysOpenMenusAtTheWindowCorner) {
  struct Row {
    char key;
    MenuName menu;
  };
  const QPoint corner = window_.frameGeometry().topLeft() + QPoint(5, 25);
  for (const Row& row : {Row{'O', MenuName::Options}, Row{'G', MenuName::GetStats}, Row{'L', MenuName::GetStats},
                         Row{'I', MenuName::Images}, Row{'F', MenuName::Forecasts}, Row{'R', MenuName::Reports},
                         Row{'H', MenuName::Help}}) {
    QTest::keyClick(&window_, static_cast<Qt::Key>(row.key), Qt::AltModifier);
    EXPECT_EQ(visible_menus(), std::vector<MenuName>{row.menu}) << row.key;
    EXPECT_EQ(menu(row.menu)->pos(), corner) << row.key;
    menu(row.menu)->hide();
  }
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  QTest::keyClick(&window_, Qt::Key_O);
  EXPECT_TRUE(visible_menus().empty());
}

TEST_F(MainWindowTest, OpenMenusSlideToTheirNeighboursOnly) {
  press(kReports);
  ASSERT_EQ(window_.open_bar_menu(), MenuName::Reports);
  auto hover = [this](QPoint skin_point) {
    const QPoint global = window_.SkinForm1->mapToGlobal(skin_point);
    QMenu* open = menu(*window_.open_bar_menu());
    QMouseEvent move(QEvent::MouseMove, open->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(open, &move);
    QApplication::processEvents();
  };
  hover(kOptions);  // not a neighbour of Reports
  EXPECT_EQ(visible_menus(), std::vector<MenuName>{MenuName::Reports});
  hover(kHelp);
  EXPECT_EQ(visible_menus(), std::vector<MenuName>{MenuName::Help});
  EXPECT_EQ(menu(MenuName::Help)->pos(), window_.SkinForm1->mapToGlobal(kHelp) + QPoint(0, 10));
  hover(kReports);
  hover(kForecasts);
  hover(kImages);
  hover(kLocations);
  hover(kOptions);
  EXPECT_EQ(visible_menus(), std::vector<MenuName>{MenuName::Options});
}

TEST_F(MainWindowTest, ItemsAreEnabledExactlyWhenTheyCanRun) {
  PopupMenus& menus = window_.menus();
  QAction* prefs = menus.action(MenuName::Options, {"&General Preferences..."});
  QAction* disclaimer = menus.action(MenuName::Help, {"&Disclaimer"});
  QAction* homepage = menus.action(MenuName::Help, {"&Visit Cirrodex homepage"});
  QAction* africa = menus.action(MenuName::Forecasts, {"&5 - 10-day Precipitation Outlook", "&1 - Africa"});
  ASSERT_TRUE(prefs && disclaimer && homepage && africa);
  EXPECT_FALSE(prefs->isEnabled());
  EXPECT_FALSE(africa->isEnabled());
  EXPECT_TRUE(disclaimer->isEnabled());
  EXPECT_TRUE(homepage->isEnabled());

  disclaimer->trigger();
  homepage->trigger();
  EXPECT_EQ(ran_, std::vector<std::string>{"disclaimer"});
  EXPECT_EQ(log_.entries, std::vector<std::string>{"open: http://www.velmoraworks.com/html/software/Cirrodex.html"});

  // A command registered later is enabled the next time its menu opens.
  actions_.on(cmd::GeneralPreferences, [] {});
  QTest::keyClick(&window_, Qt::Key_O, Qt::AltModifier);
  EXPECT_TRUE(prefs->isEnabled());
}

TEST_F(MainWindowTest, StripsMarksPresetsAndColours) {
  PopupMenus& menus = window_.menus();
  EXPECT_EQ(menus.menu(MenuName::Options)->strip_font().pointSize(), 15);
  EXPECT_TRUE(menus.menu(MenuName::Options)->strip_font().bold());
  EXPECT_EQ(menus.menu(MenuName::Reports)->strip_font().pointSize(), 16);
  EXPECT_EQ(menus.menu(MenuName::Reports)->strip_title(), QStringLiteral("Reports"));
  EXPECT_GT(menus.menu(MenuName::TrayRight)->strip_width(), 0);
  EXPECT_EQ(menus.menu(MenuName::PopupForm)->strip_width(), 0);
  // The items start right of the strip.
  QMenu* options = menus.menu(MenuName::Options);
  options->popup(QPoint(10, 10));
  EXPECT_GE(options->actionGeometry(options->actions().front()).left(), menus.menu(MenuName::Options)->strip_width());

  QAction* yes = menus.action(MenuName::Options, {"&Hide from Task Bar", "&Yes"});
  QAction* no = menus.action(MenuName::Options, {"&Hide from Task Bar", "&No"});
  ASSERT_TRUE(yes && no);
  EXPECT_TRUE(no->isChecked());
  menus.set_marked(cmd::TaskBarHideYes);
  EXPECT_TRUE(yes->isChecked());
  EXPECT_FALSE(no->isChecked());

  window_.set_preset_entry(0, "Tom & Jerry, AL", true);
  QAction* preset = nullptr;
  for (QAction* a : menus.menu(MenuName::GetStats)->actions())
    if (a->isVisible() && a->data().toString() == QStringLiteral("Tom & Jerry, AL")) preset = a;
  ASSERT_NE(preset, nullptr);
  EXPECT_EQ(preset->text(), QStringLiteral("Tom && Jerry, AL"));
  QSignalSpy clicked(&menus, &PopupMenus::presetClicked);
  preset->trigger();
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.front().at(1).toString(), QStringLiteral("Tom & Jerry, AL"));

  // The skin's menu colour reaches the submenus too.
  window_.set_menu_colour(MenuColourRole::Background, 0x00336699);  // $00BBGGRR
  QMenu* roads = menus.action(MenuName::Reports, {"&Travel Info", "&Road Conditions"})->menu();
  EXPECT_EQ(roads->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
}

TEST(ApplicationTest, AnUncaughtExceptionIsReportedAndTheProgramGoesOn) {
  auto* app = static_cast<Application*>(QCoreApplication::instance());
  std::vector<std::string> reports;
  auto saved = app->report_error;
  app->report_error = [&](const std::string& text) { reports.push_back(text); };
  QTimer::singleShot(0, [] { throw std::runtime_error("The transfer failed: connection refused"); });
  QTimer::singleShot(0, [] { throw 42; });
  bool after = false;
  QTimer::singleShot(0, [&] { after = true; });
  QTest::qWait(50);
  app->report_error = saved;
  EXPECT_EQ(reports,
            (std::vector<std::string>{"The transfer failed: connection refused", "An unexpected error occurred."}));
  EXPECT_TRUE(after);
}

}  // namespace
}  // namespace cirrodex

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  cirrodex::Application app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
