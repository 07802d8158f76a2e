#pragma once
// The running program: the main window and everything it owns, wired
// together, from the splash gauge to the exit's writes. It builds no
// outside service itself: each port comes from ProgramPorts, and a port
// left empty gets the real adapter.

#include <QTimer>
#include <memory>
#include <string>

#include "app/about_window.h"
#include "app/connect_pref_window.h"
#include "app/core/connection.h"
#include "app/core/menu_actions.h"
#include "app/core/retrieval.h"
#include "app/core/running_state.h"
#include "app/core/startup.h"
#include "app/core/temperature_icons.h"
#include "app/location_window.h"
#include "app/main_tray.h"
#include "app/main_window.h"
#include "app/moon_window.h"
#include "app/splash_window.h"
#include "app/tip_window.h"
#include "conditions/parse_stats.h"
#include "conditions/readings.h"
#include "locations/presets.h"
#include "platform/append_file.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/dialup.h"
#include "platform/host.h"
#include "platform/http.h"
#include "platform/mail.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/taskbar_channel.h"
#include "platform/tray.h"
#include "skins/skin_setup.h"

namespace cirrodex {

// What the program needs from outside. Tests give fakes; every member left
// empty gets the real adapter, which the program makes and owns.
struct ProgramPorts {
  SettingsStore* settings = nullptr;         // settings.ini in the config folder
  SettingsStore* moon_place = nullptr;       // Moontool.ini in the config folder
  const LoadedServices* services = nullptr;  // the built-in list and the user's copy
  Host* host = nullptr;                      // the main window's status line, pauses, message boxes
  Clock* clock = nullptr;
  // The main window's transfer components (libcurl).
  HttpTransfer* ipwHTTP1 = nullptr;
  HttpTransfer* ipwHTTP4cast = nullptr;
  HttpTransfer* ickHTTP1 = nullptr;  // the system-proxy path
  Sound* sound = nullptr;
  Shell* shell = nullptr;
  Tray* tray = nullptr;
  DialUp* dialup = nullptr;
  OnlineDetector* online = nullptr;
  TaskbarChannel* taskbar = nullptr;
  AppendFile* files = nullptr;        // the stats log in the data folder
  DateFormat* date_format = nullptr;  // the desktop locale's (QLocale)
  Mail* mail = nullptr;               // SMTP over libcurl
};

class Program final : public StartupPorts {
 public:
  // share_dir: share/cirrodex (help, skins, services list).
  explicit Program(std::string share_dir, ProgramPorts ports = {});
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the windows behind the splash and shows the main window.
  void start();
  TForm1& main_window() { return window_; }
  MenuActions& actions() { return actions_; }
  RetrievalCycle& retrieval() { return retrieval_; }
  TemperatureIcons& temperature_icons() { return *temperatureIcons_; }
  TfrmLocation* location_window() { return location_window_.get(); }
  TfrmPleaseWait& please_wait() { return splash_; }
  TfrmMoon* moon_window() { return moon_.get(); }
  Tfrm_more* more_data_window() { return more_.get(); }
  QTimer& refresh_timer() { return Timer1; }

  // StartupPorts
  void minimize_to_tray() override { tray_->minimize_logic(); }
  void set_startup_timer_enabled(bool enabled) override;
  int gauge_percent() override { return splash_.progress(); }
  void show_tip_of_the_day() override;
  void run_startup_retrieval() override { retrieval_.get_startup_wstats(); }

 private:
  struct Adapters;
  // The real adapter of each port the caller left empty.
  static ProgramPorts complete(ProgramPorts given, Adapters& adapters, TForm1& window);
  bool create_window(std::string_view name);
  void register_commands();
  void connect_window();
  void connect_retrieval();
  void first_show();
  void exit_sequence();
  void choose_location();
  void play_sound(std::string_view name);
  void write_log_record();
  void check_temperature_alarm();

  std::string share_;
  TForm1 window_;
  std::unique_ptr<Adapters> adapters_;
  ProgramPorts ports_;  // complete: no member is empty
  Settings settings_;
  const Services& services_;
  MenuActions actions_;
  PresetList presets_;
  SkinSetup skins_;
  TfrmPleaseWait splash_;
  TipOfTheDay tip_;
  std::unique_ptr<TfrmAbout> about_;
  std::unique_ptr<MainTrayIcon> tray_;
  RunningState state_;

  // The conditions: the location, the parser and the cycle that drives them.
  LocationContext location_;
  Readings readings_;
  ConditionsParser parser_;
  RetrievalCycle retrieval_;
  // The temperature, heat-index and wind-chill icons of each reading.
  std::unique_ptr<TemperatureIcons> temperatureIcons_;
  // The mail component's events go to the status line; the alarm mail (and
  // later the support message) send through ports_.mail with them.
  MailStatusLine mail_status_;

  std::unique_ptr<ConnectionManager> connection_;
  std::unique_ptr<TfrmConnectPref> connectPref_;
  // Built on first use, then only hidden.
  std::unique_ptr<TfrmLocation> location_window_;
  std::unique_ptr<Tfrm_more> more_;
  std::unique_ptr<TfrmMoon> moon_;

  QTimer Timer1, timer_startup, Watcher, TimerWallpaper, TimerWarningCycle;
};

}  // namespace cirrodex
