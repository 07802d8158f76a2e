#pragma once
// The running program: the main window and everything it owns, wired
// together, from the splash gauge to the exit's writes.

#include <QMenu>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/splash_window.h"
#include "app/startup.h"
#include "app/tip_window.h"
#include "app/tray_icon.h"
#include "locations/presets.h"
#include "platform/canberra_sound.h"
#include "platform/file_settings_store.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_tray.h"
#include "skins/skin_setup.h"

namespace cirrodex {

class Program final : public StartupPorts {
 public:
  // share_dir: share/cirrodex (help, menu sounds).
  explicit Program(std::string share_dir);

  // Creates the windows behind the splash and shows the main window.
  void start();
  TForm1& main_window() { return window_; }

  // StartupPorts
  void minimize_to_tray() override;
  void set_startup_timer_enabled(bool enabled) override;
  int gauge_percent() override { return splash_.progress(); }
  void show_tip_of_the_day() override;
  void run_startup_retrieval() override {}  // the retrieval cycle connects here

 private:
  // Hide to the notification area, and back.
  void minimize_logic();
  void restore_window();
  void make_tray_icon();
  void first_show();
  void exit_sequence();
  void open_help();

  std::string share_;
  FileSettingsStore store_;
  TForm1 window_;
  QtHost host_;
  Settings settings_;
  PresetList presets_;
  SkinSetup skins_;
  CanberraSound sound_;
  TfrmPleaseWait splash_;
  TipOfTheDay tip_;
  QTimer timer_startup_;
  QtTray tray_;
  std::unique_ptr<TOnTray> icon_;
  QMenu pmnRight_;
};

}  // namespace cirrodex
