#include "app/core/tray_icon.h"

#include <utility>

namespace cirrodex {

TCustomOnTray::TCustomOnTray(Tray& shell, int id, TrayOwner owner) : shell_(shell), id_(id), owner_(std::move(owner)) {
  shell_.set_listener(id_, [this](const TrayEvent& event) { handle(event); });
}

TCustomOnTray::~TCustomOnTray() {
  shell_.set_listener(id_, {});
  set_active(false);
}

void TCustomOnTray::set_tip(const std::string& tip) {
  if (tip != tip_) {
    shell_tip_ = tip.substr(0, kTrayTipMax);
    update_shell();
  }
  tip_ = tip;
}

void TCustomOnTray::set_picture(const TrayPicture& picture) {
  picture_ = picture;
  if (active_) update_shell();
}

void TCustomOnTray::set_active(bool active) {
  active_ = active;
  update_shell();
}

void TCustomOnTray::set_shown(bool shown) {
  shown_ = shown;
  update_shell();
  if (!owner_.application_window) return;
  if (shown)
    owner_.application_window(AppWindowAction::Show);
  else
    owner_.application_window(shell_.available() ? AppWindowAction::Hide : AppWindowAction::Minimize);
}

void TCustomOnTray::set_restore_on_left(bool restore) {
  restore_on_left_ = restore;
  update_shell();
}

// Every change goes through here: add the first time there is something to
// show, modify while it is there, and otherwise remove (the shell ignores
// the removal of an icon it does not have).
void TCustomOnTray::update_shell() {
  if (active_ && !picture_.empty()) {
    if (present_)
      shell_.modify(id_, picture_, shell_tip_);
    else
      shell_.add(id_, picture_, shell_tip_);
    present_ = true;
  } else {
    shell_.remove(id_);
    present_ = false;
  }
}

void TCustomOnTray::handle(const TrayEvent& event) {
  switch (event.kind) {
    case TrayEvent::Kind::Move:
      mouse_move(event.at);
      break;
    case TrayEvent::Kind::Down:
      mouse_down(event.button, event.at);
      break;
    case TrayEvent::Kind::Up:
      mouse_up(event.button, event.at);
      break;
    case TrayEvent::Kind::DoubleClick:
      dbl_click();
      break;
  }
}

void TCustomOnTray::mouse_move(TrayPoint at) {
  if (on_mouse_move) on_mouse_move(at);
}

void TCustomOnTray::mouse_down(TrayButton button, TrayPoint at) {
  if (on_mouse_down) on_mouse_down(button, at);
}

void TCustomOnTray::mouse_up(TrayButton button, TrayPoint at) {
  if (on_mouse_up) on_mouse_up(button, at);
}

void TCustomOnTray::dbl_click() {
  if (on_dbl_click) on_dbl_click();
}

void TOnTray::mouse_down(TrayButton button, TrayPoint at) {
  switch (button) {
    case TrayButton::Left:
      if (restore_on_left()) {
        restore();
        if (owner().play_sound) owner().play_sound("sMax");
      } else {
        open_menu(left_menu, at);
      }
      break;
    case TrayButton::Right:
      if (restore_on_right)
        restore();
      else
        open_menu(right_menu, at);
      break;
    case TrayButton::Middle:
      if (restore_on_middle)
        restore();
      else
        open_menu(middle_menu, at);
      break;
  }
}

void TOnTray::mouse_up(TrayButton, TrayPoint) {
  foreground();
  if (on_click) on_click();
}

void TOnTray::dbl_click() {
  foreground();
  if (on_dbl_click) on_dbl_click();
}

void TOnTray::restore() {
  set_shown(true);
  if (owner().bring_to_front) owner().bring_to_front();
}

// A Qt pop-up closes by itself on a click elsewhere, so unlike the classic
// shell no wake-up message to the owner is needed after it.
void TOnTray::open_menu(const TrayMenu& menu, TrayPoint at) {
  if (!menu) return;
  foreground();
  if (shown() && owner().bring_to_front) owner().bring_to_front();
  menu(at);
}

void TOnTray::foreground() {
  if (owner().make_foreground) owner().make_foreground();
}

}  // namespace cirrodex
