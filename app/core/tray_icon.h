#pragma once
// The program's notification-area icon: one instance per icon (the program
// icon and the temperature, heat-index and wind-chill icons). The instance
// keeps the tip, the picture and the active and shown states, and tells the
// shell after every change; the window it belongs to is reached only through
// the hooks in TrayOwner, so the logic stays free of Qt.

#include <cstddef>
#include <functional>
#include <string>

#include "platform/tray.h"

namespace cirrodex {

// The shell keeps at most this many characters of a tip; longer tips are cut.
inline constexpr std::size_t kTrayTipMax = 63;

// What the icon does to the application window when the shown state changes.
enum class AppWindowAction {
  Show,      // show it and restore it from minimized
  Hide,      // minimize and hide it: its task-bar button goes away
  Minimize,  // minimize only: there is no tray to come back from
};

// What the icon asks of the window it belongs to. Empty hooks are skipped.
struct TrayOwner {
  std::function<void(AppWindowAction)> application_window;
  // Raise; restore when minimized, else make it the foreground window.
  std::function<void()> bring_to_front;
  // Give the owner window the input focus (before menus and click events).
  std::function<void()> make_foreground;
  // An interface sound by name ("sMax"); the hook applies the sound setting.
  std::function<void(const std::string&)> play_sound;
};

// A pop-up menu, opened with its corner at the point; empty: no menu.
using TrayMenu = std::function<void(TrayPoint)>;

class TCustomOnTray {
 public:
  // The icon starts inactive, with no picture and an empty tip. id is the
  // icon's own among the live icons of the shell.
  TCustomOnTray(Tray& shell, int id, TrayOwner owner);
  // Removes the icon from the notification area.
  virtual ~TCustomOnTray();
  TCustomOnTray(const TCustomOnTray&) = delete;
  TCustomOnTray& operator=(const TCustomOnTray&) = delete;

  const std::string& tip() const { return tip_; }
  // A different text updates the shell; the same one does nothing.
  void set_tip(const std::string& tip);
  const TrayPicture& picture() const { return picture_; }
  // While active the shell shows the new picture (an empty one removes it).
  void set_picture(const TrayPicture& picture);
  void set_active(bool active);
  bool shown() const { return shown_; }
  // Updates the shell, then shows or hides the application window.
  void set_shown(bool shown);
  bool restore_on_left() const { return restore_on_left_; }
  void set_restore_on_left(bool restore);
  bool restore_on_right = false;
  bool restore_on_middle = false;

  TrayMenu left_menu;
  TrayMenu right_menu;
  TrayMenu middle_menu;

  std::function<void()> on_click;
  std::function<void()> on_dbl_click;
  std::function<void(TrayButton, TrayPoint)> on_mouse_down;
  std::function<void(TrayButton, TrayPoint)> on_mouse_up;
  std::function<void(TrayPoint)> on_mouse_move;

  // True while the shell holds this icon (active and with a picture).
  bool present() const { return present_; }
  // False when the desktop has no notification area: hiding the window to
  // the tray would leave it unreachable, so set_shown(false) only minimizes.
  bool available() const { return shell_.available(); }

  // One mouse notification from the shell.
  void handle(const TrayEvent& event);

 protected:
  virtual void mouse_move(TrayPoint at);
  virtual void mouse_down(TrayButton button, TrayPoint at);
  virtual void mouse_up(TrayButton button, TrayPoint at);
  virtual void dbl_click();

  const TrayOwner& owner() const { return owner_; }

 private:
  void update_shell();

  Tray& shell_;
  int id_;
  TrayOwner owner_;
  std::string tip_;
  std::string shell_tip_;  // the tip as the shell gets it
  TrayPicture picture_;
  bool active_ = false;
  bool shown_ = false;
  bool restore_on_left_ = false;
  bool present_ = false;  // an add went out and no remove since
};

// The icon the program uses: a click restores the window or opens the
// button's menu.
class TOnTray final : public TCustomOnTray {
 public:
  using TCustomOnTray::TCustomOnTray;

 protected:
  void mouse_down(TrayButton button, TrayPoint at) override;
  void mouse_up(TrayButton button, TrayPoint at) override;
  void dbl_click() override;

 private:
  void restore();
  void open_menu(const TrayMenu& menu, TrayPoint at);
  void foreground();
};

}  // namespace cirrodex
