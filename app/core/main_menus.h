#pragma once
// The pop-up menus of the main window and of its notification-area icon, as
// data: every item's caption (an "&" marks the access key, "&&" shows one
// "&") and what choosing it does. The Qt menus are built from this, and the
// dispatcher (menu_actions.h) runs the items.

#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

// The six menus of the skin's menu bar, left to right, then the window's
// own right-click menu and the icon's.
enum class MenuName { Options, GetStats, Images, Forecasts, Reports, Help, PopupForm, TrayRight };
inline constexpr MenuName kBarMenus[] = {MenuName::Options,   MenuName::GetStats, MenuName::Images,
                                         MenuName::Forecasts, MenuName::Reports,  MenuName::Help};

enum class ItemKind {
  Submenu,    // children
  Command,    // target: a command name (menu_actions.h)
  Browser,    // target: a service name, path: the page on its host
  Report,     // target: the text report kind ("n", "cd", ...)
  Catalogue,  // target: "Menu > Submenu > Caption", the catalogue entry's key
  Presets,    // the 20 preset entries of Get Stats
  Separator,
};

struct MenuItem {
  std::string caption;
  ItemKind kind = ItemKind::Command;
  std::string target;
  std::string path;
  std::vector<MenuItem> children;
  // Items of one mark group show one check mark between them.
  std::string mark_group;
  bool marked = false;
};

struct MenuDef {
  MenuName name;
  std::string key;    // "Options", "Get Stats", ... (catalogue keys start with it)
  bool strip = true;  // a title strip down the menu's left side
  std::string title;  // the strip's text (may be empty)
  int title_points = 16;
  std::vector<MenuItem> items;
};

const std::vector<MenuDef>& main_menus();
const MenuDef& menu_def(MenuName name);

// The caption as shown: "&&" becomes "&", a single "&" disappears.
std::string shown_caption(std::string_view caption);
// The access key (lower case) or 0 when the caption has none.
char access_key(std::string_view caption);

// Calls fn(item) for every item of the menu, depth first, in menu order.
template <typename Fn>
void for_each_item(const std::vector<MenuItem>& items, Fn&& fn) {
  for (const MenuItem& item : items) {
    fn(item);
    for_each_item(item.children, fn);
  }
}

// Names of the commands: the program registers a handler for each one it
// can run; an item without one is shown disabled.
namespace cmd {
inline constexpr std::string_view GeneralPreferences = "GeneralPreferences";
inline constexpr std::string_view ConnectionPreferences = "ConnectionPreferences";
inline constexpr std::string_view DialDefault = "DialDefault";
inline constexpr std::string_view HangUp = "HangUp";
inline constexpr std::string_view LoadSkin = "LoadSkin";
inline constexpr std::string_view LoadDefaultSkin = "LoadDefaultSkin";
inline constexpr std::string_view RunSkinEditor = "RunSkinEditor";
inline constexpr std::string_view TaskBarHideYes = "TaskBarHideYes";
inline constexpr std::string_view TaskBarHideNo = "TaskBarHideNo";
inline constexpr std::string_view StayOnTopYes = "StayOnTopYes";
inline constexpr std::string_view StayOnTopNo = "StayOnTopNo";
inline constexpr std::string_view MinimizeToTray = "MinimizeToTray";
inline constexpr std::string_view PrintStatsText = "PrintStatsText";
inline constexpr std::string_view PrintStatsWindow = "PrintStatsWindow";
inline constexpr std::string_view RunTaskBar = "RunTaskBar";
inline constexpr std::string_view ChooseLocation = "ChooseLocation";
inline constexpr std::string_view SortLocations = "SortLocations";
inline constexpr std::string_view RemoveLocation = "RemoveLocation";
inline constexpr std::string_view ClearLocations = "ClearLocations";
inline constexpr std::string_view AbortRetrieval = "AbortRetrieval";
inline constexpr std::string_view ImageSelector = "ImageSelector";
inline constexpr std::string_view DefineCustomLink = "DefineCustomLink";
inline constexpr std::string_view SimpleForecast = "SimpleForecast";
inline constexpr std::string_view ChartTemperature = "Chart:Temperature";
inline constexpr std::string_view ChartHumidity = "Chart:Humidity";
inline constexpr std::string_view ChartPressure = "Chart:Pressure";
inline constexpr std::string_view PickADay = "PickADay";
inline constexpr std::string_view ViewLogFile = "ViewLogFile";
inline constexpr std::string_view FireIncidentReport = "LocalForecast:usfi";
inline constexpr std::string_view HelpContents = "HelpContents";
inline constexpr std::string_view WeatherFaq = "WeatherFaq";
inline constexpr std::string_view Tips = "Tips";
inline constexpr std::string_view About = "About";
inline constexpr std::string_view CheckUpdate = "CheckUpdate";
inline constexpr std::string_view SupportMessage = "SupportMessage";
inline constexpr std::string_view Disclaimer = "Disclaimer";
inline constexpr std::string_view ClearAllSettings = "ClearAllSettings";
inline constexpr std::string_view Minimize = "Minimize";
inline constexpr std::string_view Exit = "Exit";
inline constexpr std::string_view Restore = "Restore";
inline constexpr std::string_view RestoreDefaultSkin = "RestoreDefaultSkin";
inline constexpr std::string_view HideWindow = "HideWindow";
inline constexpr std::string_view ViewWarnings = "ViewWarnings";
}  // namespace cmd

}  // namespace cirrodex
