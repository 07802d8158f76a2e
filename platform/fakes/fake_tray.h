#pragma once
// A notification area in memory. Records "tray add ID tip=TIP",
// "tray modify ID tip=TIP" and "tray remove ID"; press() and
// double_click() play the shell's mouse notifications back to the listener.

#include <map>

#include "platform/fakes/call_log.h"
#include "platform/tray.h"

namespace cirrodex::fakes {

class FakeTray final : public Tray {
 public:
  struct Icon {
    TrayPicture picture;
    std::string tip;
  };
  explicit FakeTray(CallLog& log) : log_(log) {}

  void add(int id, const TrayPicture& picture, const std::string& tip) override {
    log_.add("tray add " + std::to_string(id) + " tip=" + tip);
    icons_[id] = Icon{picture, tip};
  }
  void modify(int id, const TrayPicture& picture, const std::string& tip) override {
    log_.add("tray modify " + std::to_string(id) + " tip=" + tip);
    const auto it = icons_.find(id);
    if (it != icons_.end()) it->second = Icon{picture, tip};
  }
  void remove(int id) override {
    log_.add("tray remove " + std::to_string(id));
    icons_.erase(id);
  }
  void set_listener(int id, Listener listener) override {
    if (listener)
      listeners_[id] = std::move(listener);
    else
      listeners_.erase(id);
  }
  bool available() const override { return available_; }

  void set_available(bool a) { available_ = a; }
  // The icon as the shell shows it; nullptr when it is not there.
  const Icon* icon(int id) const {
    const auto it = icons_.find(id);
    return it == icons_.end() ? nullptr : &it->second;
  }
  bool has_listener(int id) const { return listeners_.count(id) != 0; }
  // A click with the button: Down, then Up. False when nobody listens.
  bool press(int id, TrayButton button, TrayPoint at = {}) {
    return deliver(id, {TrayEvent::Kind::Down, button, at}) && deliver(id, {TrayEvent::Kind::Up, button, at});
  }
  bool double_click(int id, TrayPoint at = {}) {
    return deliver(id, {TrayEvent::Kind::DoubleClick, TrayButton::Left, at});
  }

 private:
  bool deliver(int id, const TrayEvent& event) {
    const auto it = listeners_.find(id);
    if (it == listeners_.end()) return false;
    // A copy: the listener may replace itself while it runs.
    const Listener listener = it->second;
    listener(event);
    return true;
  }

  CallLog& log_;
  std::map<int, Icon> icons_;
  std::map<int, Listener> listeners_;
  bool available_ = true;
};

}  // namespace cirrodex::fakes
