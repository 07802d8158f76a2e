#pragma once
// The program's own notification-area icon: made with the window's
// right-click menu, the window hidden to it and brought back from it, and
// the condition picture and tip once conditions are known. The temperature
// icons start from its picture, hooks and menu.

#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "app/core/temperature_icons.h"
#include "app/core/tray_icon.h"
#include "app/main_window.h"
#include "conditions/readings.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/tray.h"

namespace cirrodex {

class MainTrayIcon {
 public:
  // share_dir holds icons/cirrodex-16.png, used when the icon theme has no
  // "cirrodex" (a program run from the build tree).
  MainTrayIcon(Tray& shell, TForm1& window, QMenu* right_menu, Settings& settings, Sound& sound,
               const std::string& share_dir);

  // Null once removed at exit.
  TOnTray* icon() { return icon_.get(); }
  // Hides the window to the icon (every minimizing ends here).
  void minimize_logic();
  void restore_window();
  // The parser's conditions: the tip and the picture for the local hour.
  void show_conditions(const Readings& r, int local_hour);
  // At exit: out of the notification area; later calls do nothing.
  void remove();
  // What an extra (temperature) icon starts with: the program's picture, the
  // application title, this icon's window hooks and right menu.
  ExtraIconSetup extra_icon_setup() const;

 private:
  TForm1& window_;
  Settings& settings_;
  Sound& sound_;
  TrayOwner owner_;
  TrayPicture programPicture_;
  std::unique_ptr<TOnTray> icon_;
  std::vector<TrayPicture> conditionPictures_;
  bool minimizing_ = false;
};

}  // namespace cirrodex
