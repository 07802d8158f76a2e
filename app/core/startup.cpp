#include "app/core/startup.h"

#include <limits>

#include "platform/text.h"

namespace cirrodex {

const CreationTable& creation_table() {
  static const CreationTable table = {
      {{"TfrmWallpaper"}, {{5}}},
      {{"Tfrm_more", "TfrmMoon"}, {{10}}},
      {{"TfrmForecastSimp", "TSelectState_dlg"}, {{20}}},
      {{"TDlgAddUserCam"}, {{30}}},
      {{"TfrmCustomWU"}, {{32}}},
      {{"TfrmForecast"}, {{35}}},
      // Shows with the next repaint only.
      {{"TfrmConnectPref"}, {{40, false}}},
      {{"TfrmImage"}, {{45}, {50}}},
      {{"TfrmDlgSavingFile"}, {{55}}},
      {{"TfrmAbout"}, {{60}}},
      {{"TfrmPref"}, {{70}}},
      {{"TfrmUserRadar"}, {{85}, {90}}},
      {{"TfrmCal", "TfrmSupport"}, {{100}}},
  };
  return table;
}

std::vector<std::string> run_creation(const CreationTable& table,
                                      const std::function<bool(std::string_view window)>& create,
                                      const std::function<void(int percent, bool paint_now)>& gauge) {
  std::vector<std::string> absent;
  for (const CreationGroup& group : table) {
    for (const std::string_view window : group.windows)
      if (!create(window)) absent.emplace_back(window);
    for (const GaugeStep& step : group.gauge) gauge(step.percent, step.paint_now);
  }
  return absent;
}

bool tip_at_startup(std::string_view show_tips) { return show_tips == "y" || show_tips == kMissing; }

bool tip_box_from_setting(std::string_view show_tips) { return show_tips != "n"; }

StartupTick startup_tick(Settings& settings, StartupPorts& ports) {
  // Every tick starts here, a retry included, so a window restored while the
  // others were still being built goes back to the tray.
  if (settings.flag("StartMinimized")) ports.minimize_to_tray();
  ports.set_startup_timer_enabled(false);
  if (ports.gauge_percent() <= 96) {
    ports.set_startup_timer_enabled(true);
    return StartupTick::Waiting;
  }
  if (tip_at_startup(settings.get("showtips"))) ports.show_tip_of_the_day();
  ports.run_startup_retrieval();
  return StartupTick::Done;
}

namespace {
// Minutes as milliseconds, held to what a timer takes.
int minutes_ms(long long minutes) {
  constexpr long long kMax = std::numeric_limits<int>::max() / 60000;
  return static_cast<int>((minutes > kMax ? kMax : minutes) * 60000);
}
}  // namespace

int startup_timer_interval(Settings& settings, Host& host) {
  const std::string value = settings.get("PauseTime");
  if (value == kMissing) return 4000;
  const auto ms = text::to_integer(value);
  if (ms && *ms > 0 && *ms <= std::numeric_limits<int>::max()) return static_cast<int>(*ms);
  host.beep();
  return 4000;
}

int warning_cycle_interval(Settings& settings, Host& host, int current_ms) {
  const std::string value = settings.get("WarningCycle");
  if (value == kMissing) return current_ms;
  const auto minutes = text::to_integer(value);
  if (!minutes) {
    host.beep();
    host.show_status("Error setting Warning cycle.");
    host.pause(2000);
    return current_ms;
  }
  return minutes_ms(*minutes < 5 ? 30 : *minutes);
}

WallpaperCycle wallpaper_cycle(Settings& settings, Host& host, WallpaperCycle current) {
  if (settings.get("AutoWallpaper").size() < 5) return {false, current.interval_ms};
  const std::string value = settings.get("WallpaperCycle");
  const auto minutes = text::to_integer(value == kMissing ? std::string("25") : value);
  if (!minutes) {
    host.beep();
    host.show_status("Error setting Wallpaper cycle.");
    host.pause(2000);
    return current;
  }
  return {true, minutes_ms(*minutes < 5 ? 5 : *minutes)};
}

}  // namespace cirrodex
