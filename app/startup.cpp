#include "app/startup.h"

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

}  // namespace cirrodex
