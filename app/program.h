#pragma once
// The running program: the main window and everything it owns, wired
// together, from the splash gauge to the exit's writes, and the commands of
// its menus.

#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/about_window.h"
#include "app/connect_pref_window.h"
#include "app/core/connection.h"
#include "app/core/menu_actions.h"
#include "app/core/retrieval.h"
#include "app/core/startup.h"
#include "app/core/tray_icon.h"
#include "app/location_window.h"
#include "app/main_window.h"
#include "app/moon_window.h"
#include "app/splash_window.h"
#include "app/tip_window.h"
#include "conditions/parse_stats.h"
#include "conditions/readings.h"
#include "locations/presets.h"
#include "platform/canberra_sound.h"
#include "platform/clock.h"
#include "platform/curl_http.h"
#include "platform/file_settings_store.h"
#include "platform/local_taskbar_channel.h"
#include "platform/qt/nm_dialup.h"
#include "platform/qt/online_detector.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "skins/skin_setup.h"

namespace cirrodex {

class Program final : public StartupPorts {
 public:
  // share_dir: share/cirrodex (help, skins, services list).
  explicit Program(std::string share_dir);
  ~Program() override;

  // Creates the windows behind the splash and shows the main window.
  void start();
  TForm1& main_window() { return window_; }
  MenuActions& actions() { return actions_; }
  RetrievalCycle& retrieval() { return retrieval_; }
  TfrmLocation* location_window() { return location_window_.get(); }
  TfrmPleaseWait& please_wait() { return splash_; }
  TfrmMoon* moon_window() { return moon_.get(); }
  Tfrm_more* more_data_window() { return more_.get(); }

  // StartupPorts
  void minimize_to_tray() override;
  void set_startup_timer_enabled(bool enabled) override;
  int gauge_percent() override { return splash_.progress(); }
  void show_tip_of_the_day() override;
  void run_startup_retrieval() override { retrieval_.get_startup_wstats(); }

 private:
  void register_commands();
  void make_tray_icon();
  void first_show();
  void exit_sequence();
  // Hide to the notification area, and back.
  void minimize_logic();
  void restore_window();
  void open_help(int topic);
  void play_menu_sound(const std::string& path);
  // Commands.
  void load_skin_dialog();
  void run_skin_editor();
  void set_taskbar_hidden(bool hidden);
  void apply_taskbar_state();
  void set_stay_on_top(bool on);
  void print_window();
  void preset_clicked(const std::string& caption);
  void show_about();
  void choose_location();
  void draw_moon();
  // The maker's support address from the services file, without "mailto:".
  std::string support_address() const;
  void connect_retrieval();

  std::string share_;
  FileSettingsStore store_;
  TForm1 window_;
  QtHost host_;
  Settings settings_;
  LoadedServices loaded_;
  const Services& services_;
  QtShell shell_;
  MenuActions actions_;
  PresetList presets_;
  SkinSetup skins_;
  CanberraSound sound_;
  TfrmPleaseWait splash_;
  TipOfTheDay tip_;
  std::unique_ptr<TfrmAbout> about_;
  QtTray tray_;
  std::unique_ptr<TOnTray> icon_;
  RunningState state_;
  bool minimizing_ = false;

  // The conditions: transfer components, the location, the parser and the
  // cycle that drives them.
  SystemClock clock_;
  CurlHttpTransfer ipwHTTP1, ipwHTTP4cast, ickHTTP1;
  LocationContext location_;
  Readings readings_;
  ConditionsParser parser_;
  RetrievalCycle retrieval_;
  std::vector<TrayPicture> conditionPictures_;
  LocalTaskbarChannel taskbar_;

  // Dial-up lines and the online state.
  NmDialUp dialup_;
  SystemOnlineDetector detector_;
  std::unique_ptr<ConnectionManager> connection_;
  std::unique_ptr<TfrmConnectPref> connectPref_;
  // Built on first use, then only hidden.
  std::unique_ptr<TfrmLocation> location_window_;
  // The moon windows and the place file of the second.
  FileSettingsStore moonPlaceFile_;
  std::unique_ptr<Tfrm_more> more_;
  std::unique_ptr<TfrmMoon> moon_;

  QTimer Timer1, timer_startup, Watcher, TimerWallpaper, TimerWarningCycle;
};

}  // namespace cirrodex
