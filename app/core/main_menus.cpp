#include "app/core/main_menus.h"

#include <cctype>
#include <stdexcept>

namespace cirrodex {

namespace {

using Items = std::vector<MenuItem>;

MenuItem command(std::string caption, std::string_view name) {
  return {std::move(caption), ItemKind::Command, std::string(name), {}, {}, {}, false};
}
MenuItem mark(std::string caption, std::string_view name, std::string group, bool marked) {
  MenuItem item = command(std::move(caption), name);
  item.mark_group = std::move(group);
  item.marked = marked;
  return item;
}
MenuItem browser(std::string caption, std::string service, std::string path) {
  return {std::move(caption), ItemKind::Browser, std::move(service), std::move(path), {}, {}, false};
}
MenuItem report(std::string caption, std::string kind) {
  return {std::move(caption), ItemKind::Report, std::move(kind), {}, {}, {}, false};
}
// An image or web link of the catalogue; its key is filled in below.
MenuItem entry(std::string caption) { return {std::move(caption), ItemKind::Catalogue, {}, {}, {}, {}, false}; }
MenuItem submenu(std::string caption, Items children) {
  return {std::move(caption), ItemKind::Submenu, {}, {}, std::move(children), {}, false};
}
MenuItem separator() { return {{}, ItemKind::Separator, {}, {}, {}, {}, false}; }

Items outlook_regions() {
  Items regions;
  for (const char* caption :
       {"&1 - Africa", "&2 - Australia", "&3 - Canada && Alaska", "&4 - Continental US", "&5 - East Asia",
        "&6 - Europe", "&7 - Mexico && Carribean", "&8 - Mid-East", "&9 - South America", "&a - South Asia"})
    regions.push_back(entry(caption));
  return regions;
}

Items options_items() {
  return {
      command("&General Preferences...", cmd::GeneralPreferences),
      submenu("&Connection", {command("&Connection Preferences...", cmd::ConnectionPreferences),
                              command("&Dial-up default Connection", cmd::DialDefault),
                              command("&Hang-up Dialup Connection", cmd::HangUp)}),
      submenu("&Skins", {command("&Load a Skin...", cmd::LoadSkin), command("Load &Default Skin", cmd::LoadDefaultSkin),
                         command("Run Skin &Editor...", cmd::RunSkinEditor), separator(),
                         browser("&Visit Cirrodex Skins site...", "maker_web", "/html/software/Cirrodex_Skins.html")}),
      separator(),
      submenu("&Hide from Task Bar",
              {mark("&Yes", cmd::TaskBarHideYes, "taskbar", false), mark("&No", cmd::TaskBarHideNo, "taskbar", true)}),
      submenu("Stay on &Top",
              {mark("&Yes", cmd::StayOnTopYes, "ontop", false), mark("&No", cmd::StayOnTopNo, "ontop", true)}),
      command("&Minimize to Tray", cmd::MinimizeToTray),
      separator(),
      submenu("&Print", {command("Print Stats as &Text", cmd::PrintStatsText),
                         command("Print Stats &Window", cmd::PrintStatsWindow)}),
      command("Run Cirrodex Task &Bar", cmd::RunTaskBar),
  };
}

Items get_stats_items() {
  return {
      command("&Choose Location...", cmd::ChooseLocation),
      separator(),
      {{}, ItemKind::Presets, {}, {}, {}, {}, false},
      separator(),
      command("Sort Locations", cmd::SortLocations),
      command("Remove a Specific Location", cmd::RemoveLocation),
      command("Clear All Locations", cmd::ClearLocations),
      separator(),
      command("&Abort Cirrodex data retrieval", cmd::AbortRetrieval),
  };
}

Items images_items() {
  return {command("Treeview  (complete list)", cmd::ImageSelector), entry("Mini-Radar (6 hr. loop)")};
}

Items forecasts_items() {
  return {
      report("&Nowcast - Short-term Forecast", "n"),
      submenu("Forecast - &HTML Version - (W.U.)", {entry("View &Custom Page"), entry("View &Main Page"), separator(),
                                                    command("&Define Custom Link", cmd::DefineCustomLink)}),
      command("Forecast - &Simple Version... (calc)", cmd::SimpleForecast),
      report("Forecast - TEXT Version... (NWS)", "f"),
      separator(),
      submenu("&Aviation Forecasts",
              {browser("METAR Reports...(NWS)", "nws_web", "/weather/metar.shtml"),
               browser("Terminal Aerodrome Forecasts... (NOAA)", "noaa_aviation", "/awc/awc-taf.html"),
               browser("Terminal Aerodrome Forecasts... (NWS)", "nws_web", "/weather/taf.shtml")}),
      separator(),
      entry("Tomorrow - USA Central image"),
      entry("Tomorrow - USA East image"),
      entry("Tomorrow - USA West image"),
      submenu("US Allergy Forecasts", {entry("US Mold Spores Forecast"), entry("US Ragweed Pollen Forecast")}),
      entry("US Fire/Danger Potential"),
      separator(),
      entry("&0 - 4-day US Jet Stream Forecast"),
      entry("&1 - 06-24 hr. US Precip/Pressure Forecast"),
      entry("&2 - 12-48 hr. US Thunderstorm Probability"),
      entry("&3 - 12-48 hr. US Severe Thunderstorm Probability"),
      submenu("&4 - 10-day Temperature Outlook", outlook_regions()),
      submenu("&5 - 10-day Precipitation Outlook", outlook_regions()),
      entry("&6 - 1 && 3-month US Temp && Precip. Outlook"),
      entry("&7 - 12-month US Temperature Outlook"),
      entry("&8 - 12-month US Precipitation Outlook"),
  };
}

Items reports_items() {
  Items usda = {report("Crop Weather Report by State", "cw"), separator()};
  for (const char* caption :
       {"Corn - % Harvested", "Cotton - % Harvested", "Crop Conditions Timetable",
        "Crop Timetables - Corn, Cotton, Sorghum", "Crop Timetables - Peanuts, Barley, Oats, W-Wheat",
        "Crop Timetables - Soybeans, Rice, S-Wheat", "Number of farms and workers",
        "Soil Moisture - Days for Fieldwork", "Soybeans - % Harvested", "US Cattle Inventory",
        "US Cattle Operations && Inventory", "US Vegetation Condition", "Wages - farm versus non-farm",
        "Winter Wheat - % Emerged", "Winter Wheat - % Planted"})
    usda.push_back(entry(caption));
  return {
      report("&Climate Data (NWS)", "cd"),
      report("&Hydrological Data (NWS)", "h"),
      report("&Public Information (NWS)", "p"),
      report("&Special Weather Statements (NWS)", "sw"),
      report("&Warnings and Advisories (NWS)", "w"),
      separator(),
      submenu("&Daily Charts",
              {command("&Temperature", cmd::ChartTemperature), command("&Humidity", cmd::ChartHumidity),
               command("&Pressure", cmd::ChartPressure), separator(), command("Pic&k a Day", cmd::PickADay),
               command("&View Log File", cmd::ViewLogFile)}),
      separator(),
      submenu("Climate Data  (NOAA)",
              {browser("Comparitive text version...", "noaa_ncdc", "/cgi-win/wwcgi.dll?wwnolos~Product~PB-016#TABLES"),
               browser("Interactive Maps...", "noaa_climate_diagnostics", "/USclimate/")}),
      entry("Lightning Network..."),
      entry("Marine Observations..."),
      browser("National Hurricane Center website...", "hurricane_center", "/"),
      browser("School && Business closings and delays...", "school_closings", "/"),
      entry("Ski Reports..."),
      submenu("&Travel Info",
              {entry("&Airport and Flight Details..."), entry("&Distance between cities (w/Lat.-Long.)..."),
               entry("&Flight Tracking..."), entry("&International Travel Warnings..."),
               entry("&Travel Guide and Directions..."), entry("&US Park Search..."), separator(),
               submenu("&Road Conditions",
                       {entry("US && Canada - (Hwy Nav.)"), entry("US only - (RWA)"), separator(),
                        browser("Arizona", "road_arizona", "/"), entry("Arkansas"),
                        browser("Canada - Manitoba", "road_manitoba", "/"),
                        browser("Canada - Ontario", "road_ontario", "/english/traveller/conditions/index.html"),
                        browser("Illinois", "road_illinois", "/road/mo_state.html"),
                        browser("Missouri", "road_missouri", "/roadcond"), browser("&Ohio", "road_ohio", "/snotis/"),
                        browser("&Texas", "road_texas", "/hcr/main.htm"),
                        browser("Wisconsin", "road_wisconsin", "/dsp/roadcond.html")})}),
      separator(),
      report("US Air Pollution Levels  (EPA)", "ap"),
      entry("US Drought Severity Index"),
      command("US Fire/Acreage Incident Report", cmd::FireIncidentReport),
      browser("Weather Radio (NOAA)...", "nws_weather_radio", "/nwr/nwrbro.htm#nwrstations"),
      separator(),
      submenu("Other",
              {submenu("Census Information",
                       {report("Detail by US State...", "s1"), report("Detail by US Zip...", "s2"),
                        report("US Median HH Income by State...", "si"), report("US State Salary Rankings...", "ss")}),
               entry("Current US Population..."), entry("Current World Population..."),
               browser("Geographical Coordinates (LAT/LON)...", "satellite_tracking", "/countries.asp"),
               submenu("USDA Reports", std::move(usda)), separator(),
               browser("World Facts - by Country  (CIA)", "cia_factbook", "/cia/publications/factbook/"),
               browser("World Time Zones Map...", "naval_observatory", "/AA/faq/docs/world_tzones.html"),
               browser("World Time Zones Map w/current time...", "world_time_zones", "/")}),
  };
}

Items help_items() {
  return {
      command("&Help Contents  (F1)", cmd::HelpContents),
      command("Weather &FAQ", cmd::WeatherFaq),
      command("&Tips...", cmd::Tips),
      separator(),
      command("&About Cirrodex", cmd::About),
      command("&Check for Update", cmd::CheckUpdate),
      command("&Send Message to Support...", cmd::SupportMessage),
      browser("&Visit Cirrodex homepage", "maker_web", "/html/software/Cirrodex.html"),
      separator(),
      command("&Disclaimer", cmd::Disclaimer),
      command("Clear ALL Settings", cmd::ClearAllSettings),
  };
}

// Catalogue keys name the entry by its place: "Forecasts > &5 - 10-day
// Precipitation Outlook > &1 - Africa" (the same caption sits in two
// submenus).
void fill_catalogue_keys(Items& items, const std::string& prefix) {
  for (MenuItem& item : items) {
    const std::string here = prefix + " > " + item.caption;
    if (item.kind == ItemKind::Catalogue) item.target = here;
    fill_catalogue_keys(item.children, here);
  }
}

std::vector<MenuDef> make_menus() {
  std::vector<MenuDef> menus = {
      {MenuName::Options, "Options", true, "Options", 15, options_items()},
      {MenuName::GetStats, "Get Stats", true, "Get Stats", 16, get_stats_items()},
      {MenuName::Images, "Images", true, "", 16, images_items()},
      {MenuName::Forecasts, "Forecasts", true, "Forecasts", 16, forecasts_items()},
      {MenuName::Reports, "Reports", true, "Reports", 16, reports_items()},
      {MenuName::Help, "Help", true, "Help", 16, help_items()},
      {MenuName::PopupForm,
       "popupForm",
       false,
       "",
       16,
       {command("&Minimize", cmd::Minimize), submenu("&Help", help_items()), separator(), command("E&xit", cmd::Exit)}},
      {MenuName::TrayRight,
       "pmnRight",
       true,
       "",
       16,
       {command("&Restore Window...", cmd::Restore),
        command("Restore Window with Default Skin", cmd::RestoreDefaultSkin),
        command("&Hide Window...", cmd::HideWindow), command("View &Warnings && Advisories...", cmd::ViewWarnings),
        separator(), command("E&xit", cmd::Exit)}},
  };
  for (MenuDef& menu : menus) fill_catalogue_keys(menu.items, menu.key);
  return menus;
}

}  // namespace

const std::vector<MenuDef>& main_menus() {
  static const std::vector<MenuDef> menus = make_menus();
  return menus;
}

const MenuDef& menu_def(MenuName name) {
  for (const MenuDef& menu : main_menus())
    if (menu.name == name) return menu;
  throw std::out_of_range("no such menu");
}

std::string shown_caption(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&';
      ++i;
      if (i < caption.size() && caption[i] != '&') out += caption[i];
    } else {
      out += caption[i];
    }
  }
  return out;
}

char access_key(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

}  // namespace cirrodex
