// The pop-up menus as data, their dispatcher and the skin's menu bar.

#include <gtest/gtest.h>

#include <set>

#include "app/core/main_menus.h"
#include "app/core/menu_actions.h"
#include "app/core/menu_bar.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_shell.h"
#include "resources/builtin.h"

namespace cirrodex {
namespace {

Services shipped_services() { return Services(*builtin_resource("SERVICES", "CONF")); }

// The item reached by captions from a menu's top level.
const MenuItem* find(MenuName menu, std::initializer_list<std::string_view> path) {
  const std::vector<MenuItem>* level = &menu_def(menu).items;
  const MenuItem* found = nullptr;
  for (std::string_view caption : path) {
    found = nullptr;
    for (const MenuItem& item : *level)
      if (item.caption == caption) found = &item;
    if (found == nullptr) return nullptr;
    level = &found->children;
  }
  return found;
}

std::vector<std::string> captions(const std::vector<MenuItem>& items) {
  std::vector<std::string> out;
  for (const MenuItem& item : items)
    if (item.kind != ItemKind::Separator) out.push_back(item.caption);
  return out;
}

TEST(MenusTest, BarMenusHaveTheirTitleStrips) {
  struct Row {
    MenuName menu;
    bool strip;
    const char* title;
    int points;
  };
  for (const Row& row : {Row{MenuName::Options, true, "Options", 15}, Row{MenuName::GetStats, true, "Get Stats", 16},
                         Row{MenuName::Images, true, "", 16}, Row{MenuName::Forecasts, true, "Forecasts", 16},
                         Row{MenuName::Reports, true, "Reports", 16}, Row{MenuName::Help, true, "Help", 16},
                         Row{MenuName::PopupForm, false, "", 16}, Row{MenuName::TrayRight, true, "", 16}}) {
    const MenuDef& def = menu_def(row.menu);
    EXPECT_EQ(def.strip, row.strip) << def.key;
    EXPECT_EQ(def.title, row.title) << def.key;
    EXPECT_EQ(def.title_points, row.points) << def.key;
  }
}

TEST(MenusTest, ItemsStandInTheirOrder) {
  EXPECT_EQ(captions(menu_def(MenuName::Help).items),
            (std::vector<std::string>{"&Help Contents  (F1)", "Weather &FAQ", "&Tips...", "&About Cirrodex",
                                      "&Check for Update", "&Send Message to Support...", "&Visit Cirrodex homepage",
                                      "&Disclaimer", "Clear ALL Settings"}));
  EXPECT_EQ(captions(menu_def(MenuName::TrayRight).items),
            (std::vector<std::string>{"&Restore Window...", "Restore Window with Default Skin", "&Hide Window...",
                                      "View &Warnings && Advisories...", "E&xit"}));
  // The window's own menu holds the whole Help menu.
  const MenuItem* help = find(MenuName::PopupForm, {"&Help"});
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(captions(help->children), captions(menu_def(MenuName::Help).items));
  EXPECT_EQ(captions(menu_def(MenuName::PopupForm).items), (std::vector<std::string>{"&Minimize", "&Help", "E&xit"}));

  const MenuItem* usda = find(MenuName::Reports, {"Other", "USDA Reports"});
  ASSERT_NE(usda, nullptr);
  const auto usda_items = captions(usda->children);
  ASSERT_EQ(usda_items.size(), 16u);
  EXPECT_EQ(usda_items.front(), "Crop Weather Report by State");
  EXPECT_EQ(usda->children.front().kind, ItemKind::Report);
  EXPECT_EQ(usda->children.front().target, "cw");

  for (const char* outlook : {"&4 - 10-day Temperature Outlook", "&5 - 10-day Precipitation Outlook"}) {
    const MenuItem* sub = find(MenuName::Forecasts, {outlook});
    ASSERT_NE(sub, nullptr) << outlook;
    const auto regions = captions(sub->children);
    ASSERT_EQ(regions.size(), 10u);
    EXPECT_EQ(regions.front(), "&1 - Africa");
    EXPECT_EQ(regions.back(), "&a - South Asia");
  }
  const MenuItem* travel = find(MenuName::Reports, {"&Travel Info"});
  ASSERT_NE(travel, nullptr);
  EXPECT_EQ(captions(travel->children).size(), 7u);  // six links and the road conditions
  const MenuItem* roads = find(MenuName::Reports, {"&Travel Info", "&Road Conditions"});
  ASSERT_NE(roads, nullptr);
  EXPECT_EQ(captions(roads->children).size(), 11u);

  const MenuItem* presets = nullptr;
  for (const MenuItem& item : menu_def(MenuName::GetStats).items)
    if (item.kind == ItemKind::Presets) presets = &item;
  EXPECT_NE(presets, nullptr);
}

TEST(MenusTest, MarksStartOnNo) {
  for (const char* sub : {"&Hide from Task Bar", "Stay on &Top"}) {
    const MenuItem* menu = find(MenuName::Options, {sub});
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->children.size(), 2u);
    EXPECT_FALSE(menu->children[0].marked);
    EXPECT_TRUE(menu->children[1].marked);
    EXPECT_EQ(menu->children[0].mark_group, menu->children[1].mark_group);
    EXPECT_FALSE(menu->children[0].mark_group.empty());
  }
}

TEST(MenusTest, EveryBrowserItemHasItsService) {
  const Services services = shipped_services();
  int browsers = 0;
  for (const MenuDef& def : main_menus())
    for_each_item(def.items, [&](const MenuItem& item) {
      if (item.kind != ItemKind::Browser) return;
      ++browsers;
      EXPECT_TRUE(services.has(item.target)) << item.caption << " -> " << item.target;
      EXPECT_TRUE(has_scheme(services.value(item.target))) << item.target;
      EXPECT_EQ(item.path.front(), '/') << item.caption;
    });
  EXPECT_GE(browsers, 20);
}

TEST(MenusTest, KeysAreUniqueAndAccessKeysDoNotClash) {
  std::set<std::string> keys;
  for (const MenuDef& def : main_menus())
    for_each_item(def.items, [&](const MenuItem& item) {
      if (item.kind == ItemKind::Catalogue) {
        EXPECT_TRUE(keys.insert(item.target).second) << item.target;
      }
    });
  EXPECT_TRUE(keys.count("Forecasts > &5 - 10-day Precipitation Outlook > &1 - Africa"));
  EXPECT_TRUE(keys.count("Forecasts > &4 - 10-day Temperature Outlook > &1 - Africa"));

  // Within one level no two items share an access key.
  std::function<void(const std::vector<MenuItem>&, const std::string&)> check = [&](const auto& items,
                                                                                    const std::string& where) {
    std::set<char> seen;
    for (const MenuItem& item : items) {
      const char key = access_key(item.caption);
      if (key != 0) {
        EXPECT_TRUE(seen.insert(key).second) << where << ": " << item.caption;
      }
      check(item.children, where + " > " + item.caption);
    }
  };
  for (const MenuDef& def : main_menus()) check(def.items, def.key);
}

TEST(MenusTest, CaptionsShowTheirAmpersands) {
  struct Row {
    const char* caption;
    const char* shown;
    char key;
  };
  for (const Row& row :
       {Row{"E&xit", "Exit", 'x'}, Row{"View &Warnings && Advisories...", "View Warnings & Advisories...", 'w'},
        Row{"School && Business closings", "School & Business closings", 0},
        Row{"&6 - 1 && 3-month", "6 - 1 & 3-month", '6'}, Row{"Sort Locations", "Sort Locations", 0},
        Row{"Pic&k a Day", "Pick a Day", 'k'}, Row{"trailing &", "trailing ", 0}}) {
    EXPECT_EQ(shown_caption(row.caption), row.shown) << row.caption;
    EXPECT_EQ(access_key(row.caption), row.key) << row.caption;
  }
}

TEST(MenuBarTest, SkinButtonsWorkWithTheLeftButtonOnly) {
  struct Row {
    const char* id;
    PointerButton button;
    ButtonAction action;
    MenuName menu;
  };
  for (const Row& row : {
           Row{"BUTTON_OPTIONS", PointerButton::Left, ButtonAction::OpenMenu, MenuName::Options},
           Row{"BUTTON_OPTIONS", PointerButton::Right, ButtonAction::None, {}},
           Row{"BUTTON_GETSTATS", PointerButton::Left, ButtonAction::OpenMenu, MenuName::GetStats},
           Row{"BUTTON_LOCATIONS", PointerButton::Left, ButtonAction::OpenMenu, MenuName::GetStats},
           Row{"BUTTON_IMAGES", PointerButton::Left, ButtonAction::OpenMenu, MenuName::Images},
           Row{"BUTTON_FORECASTS", PointerButton::Left, ButtonAction::OpenMenu, MenuName::Forecasts},
           Row{"BUTTON_REPORTS", PointerButton::Left, ButtonAction::OpenMenu, MenuName::Reports},
           Row{"BUTTON_HELP", PointerButton::Left, ButtonAction::OpenMenu, MenuName::Help},
           Row{"BUTTON_HELP", PointerButton::Middle, ButtonAction::None, {}},
           Row{"BUTTON_MINBTN", PointerButton::Left, ButtonAction::Minimize, {}},
           Row{"BUTTON_MINIMIZE", PointerButton::Left, ButtonAction::Minimize, {}},
           Row{"BUTTON_EXIT", PointerButton::Left, ButtonAction::Exit, {}},
           Row{"BUTTON_EXIT", PointerButton::Right, ButtonAction::None, {}},
           Row{"BUTTON_FORECASTBTN", PointerButton::Left, ButtonAction::ForecastPage, {}},
           Row{"TEXT_TEMP", PointerButton::Left, ButtonAction::None, {}},
       }) {
    const ButtonPress press = skin_button_press(row.id, row.button);
    EXPECT_EQ(press.action, row.action) << row.id;
    if (row.action == ButtonAction::OpenMenu) {
      EXPECT_EQ(press.menu, row.menu) << row.id;
    }
  }
  EXPECT_EQ(menu_point_at_press({100, 200}), (ScreenPoint{100, 210}));
  EXPECT_EQ(menu_point_for_key({100, 200}), (ScreenPoint{105, 225}));
}

TEST(MenuBarTest, AltKeysOpenTheirMenus) {
  EXPECT_EQ(menu_of_alt_key('o'), MenuName::Options);
  EXPECT_EQ(menu_of_alt_key('G'), MenuName::GetStats);
  EXPECT_EQ(menu_of_alt_key('l'), MenuName::GetStats);
  EXPECT_EQ(menu_of_alt_key('i'), MenuName::Images);
  EXPECT_EQ(menu_of_alt_key('f'), MenuName::Forecasts);
  EXPECT_EQ(menu_of_alt_key('r'), MenuName::Reports);
  EXPECT_EQ(menu_of_alt_key('h'), MenuName::Help);
  EXPECT_EQ(menu_of_alt_key('x'), std::nullopt);
}

TEST(MenuBarTest, OnlyNeighboursSlide) {
  using M = MenuName;
  const std::set<std::pair<M, M>> neighbours = {
      {M::GetStats, M::Options}, {M::Options, M::GetStats}, {M::Images, M::GetStats},   {M::GetStats, M::Images},
      {M::Forecasts, M::Images}, {M::Images, M::Forecasts}, {M::Reports, M::Forecasts}, {M::Forecasts, M::Reports},
      {M::Help, M::Reports},     {M::Reports, M::Help}};
  const M all[] = {M::Options, M::GetStats, M::Images, M::Forecasts, M::Reports, M::Help, M::PopupForm, M::TrayRight};
  for (M open : all)
    for (M target : all)
      EXPECT_EQ(slides_to(open, target), neighbours.count({open, target}) == 1)
          << static_cast<int>(open) << " -> " << static_cast<int>(target);
}

class MenuActionsTest : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakeShell shell{log};
  Services services = shipped_services();
  MenuActions actions{services, shell, host};
};

TEST_F(MenuActionsTest, ItemsWithoutHandlersAreUnavailableAndDoNothing) {
  const MenuItem* prefs = find(MenuName::Options, {"&General Preferences..."});
  const MenuItem* nowcast = find(MenuName::Forecasts, {"&Nowcast - Short-term Forecast"});
  const MenuItem* africa = find(MenuName::Forecasts, {"&5 - 10-day Precipitation Outlook", "&1 - Africa"});
  ASSERT_TRUE(prefs && nowcast && africa);
  for (const MenuItem* item : {prefs, nowcast, africa}) {
    EXPECT_FALSE(actions.available(*item)) << item->caption;
    actions.run(*item);
  }
  EXPECT_TRUE(log.entries.empty());

  std::vector<std::string> ran;
  actions.on(cmd::GeneralPreferences, [&] { ran.push_back("prefs"); });
  actions.on_report([&](const std::string& kind) { ran.push_back("report " + kind); });
  actions.on_catalogue([&](const std::string& key) { ran.push_back(key); });
  for (const MenuItem* item : {prefs, nowcast, africa}) {
    EXPECT_TRUE(actions.available(*item)) << item->caption;
    actions.run(*item);
  }
  EXPECT_EQ(ran, (std::vector<std::string>{"prefs", "report n",
                                           "Forecasts > &5 - 10-day Precipitation Outlook > &1 - Africa"}));
}

TEST_F(MenuActionsTest, BrowserItemsOpenTheirPageOnTheServiceHost) {
  struct Row {
    MenuName menu;
    std::initializer_list<std::string_view> path;
    const char* address;
  };
  for (const Row& row : {
           Row{MenuName::Help, {"&Visit Cirrodex homepage"}, "http://www.velmoraworks.com/html/software/Cirrodex.html"},
           Row{MenuName::Reports,
               {"&Travel Info", "&Road Conditions", "Canada - Ontario"},
               "https://www.mto.gov.on.ca/english/traveller/conditions/index.html"},
           Row{MenuName::Reports,
               {"Climate Data  (NOAA)", "Comparitive text version..."},
               "https://www.ncdc.noaa.gov/cgi-win/wwcgi.dll?wwnolos~Product~PB-016#TABLES"},
           Row{MenuName::Reports, {"National Hurricane Center website..."}, "https://www.nhc.noaa.gov/"},
       }) {
    const MenuItem* item = find(row.menu, row.path);
    ASSERT_NE(item, nullptr) << row.address;
    log.clear();
    actions.run(*item);
    EXPECT_EQ(log.entries, (std::vector<std::string>{std::string("open: ") + row.address}));
  }
  // A user's services file moves the host; no browser is reported.
  EXPECT_TRUE(services.override_with("maker_web = http://127.0.0.1:8080/\n", "services.conf").empty());
  shell.open_works = false;
  log.clear();
  actions.run(*find(MenuName::Help, {"&Visit Cirrodex homepage"}));
  EXPECT_EQ(log.entries, (std::vector<std::string>{"open: http://127.0.0.1:8080/html/software/Cirrodex.html",
                                                   "status: Could not start a web browser for "
                                                   "http://127.0.0.1:8080/html/software/Cirrodex.html"}));
}

TEST(ServicesTest, UserLinesOverrideAndMistakesAreNamed) {
  Services services("# shipped\nweb = http://example.org\nprogram =\r\nmail = mailto:a@b\n");
  EXPECT_EQ(services.value("program"), "");
  const auto problems = services.override_with(
      "web = http://127.0.0.1:9/\n"
      "  # comment\n"
      "\n"
      "nonsense line\n"
      "wbe = http://typo\n"
      "mail = support@example.org\n"
      "program = my-editor --new-window\n"
      "web =\n"
      "web = http://127.0.0.1:9/\n",
      "services.conf");
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "services.conf line 4: not \"name = value\"",
                          "services.conf line 5: unknown service \"wbe\"",
                          "services.conf line 6: \"support@example.org\" is not an address (like http://host)",
                      }));
  EXPECT_EQ(services.url("web", "/x.html"), "http://127.0.0.1:9/x.html");
  EXPECT_EQ(services.value("mail"), "mailto:a@b");
  EXPECT_EQ(services.value("program"), "my-editor --new-window");
  EXPECT_THROW(services.value("missing"), std::out_of_range);
  EXPECT_FALSE(services.has("missing"));
}

TEST(ServicesTest, SchemesAreRecognised) {
  for (const char* yes : {"http://h", "https://h", "mailto:x@y", "ftp://h", "svn+ssh://h"})
    EXPECT_TRUE(has_scheme(yes)) << yes;
  for (const char* no : {"", "host.org", ":x", "1http://h", "ht tp://h", "/path:x"}) EXPECT_FALSE(has_scheme(no)) << no;
}

}  // namespace
}  // namespace cirrodex

#include "app/core/commands.h"
#include "platform/shell.h"

namespace cirrodex {
namespace {

TEST(CommandsTest, HelpTopicsAndCommandLines) {
  const char* topics = "0 index.html\r\n1018 faq.html\n\nbad line\n7\n";
  EXPECT_EQ(help_topic_page(topics, 1018), "faq.html");
  EXPECT_EQ(help_topic_page(topics, 0), "index.html");
  EXPECT_EQ(help_topic_page(topics, 7), "");
  EXPECT_EQ(help_topic_page(topics, 18), "");

  using Words = std::vector<std::string>;
  EXPECT_EQ(split_command_line(""), Words{});
  EXPECT_EQ(split_command_line("  gedit   --new-window "), (Words{"gedit", "--new-window"}));
  EXPECT_EQ(split_command_line("\"/opt/My Editor/edit\" -a \"\""), (Words{"/opt/My Editor/edit", "-a", ""}));
  EXPECT_EQ(split_command_line("a\\ b c\\\"d"), (Words{"a b", "c\"d"}));
}

TEST(CommandsTest, ShippedHelpHasTheFaqTopic) {
  // The Weather FAQ is topic 1018 of the installed help.
  EXPECT_EQ(help_topic_page("0 index.html\n1018 faq.html\n", 1018), "faq.html");
}

}  // namespace
}  // namespace cirrodex
