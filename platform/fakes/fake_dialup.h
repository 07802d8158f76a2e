#pragma once
// A dial-up service, an online detector and an online indicator in memory.
//   dial: NAME | hangup: HANDLE | indicator: lime | indicator: red |
//   indicator: front
// The test plays the dial events back with fire_*, as the event loop would
// deliver them after dial has returned.

#include <algorithm>
#include <utility>

#include "platform/dialup.h"
#include "platform/fakes/call_log.h"

namespace cirrodex::fakes {

class FakeDialUp final : public DialUp {
 public:
  explicit FakeDialUp(CallLog& log) : log_(log) {}

  void set_listener(DialUpListener* listener) override { listener_ = listener; }
  std::vector<std::string> entries() override {
    if (fail_entries) throw DialUpError("phone book unreadable (test)");
    return entry_names;
  }
  void dial(const std::string& entry) override {
    log_.add("dial: " + entry);
    if (fail_dial) throw DialUpError("no modem (test)");
  }
  std::vector<ActiveConnection> active_connections() override {
    if (fail_active) throw DialUpError("cannot list connections (test)");
    return active;
  }
  void hang_up(const std::string& handle) override {
    log_.add("hangup: " + handle);
    if (fail_hang_up) throw DialUpError("line stuck (test)");
    active.erase(
        std::remove_if(active.begin(), active.end(), [&](const ActiveConnection& c) { return c.handle == handle; }),
        active.end());
  }

  DialUpListener* listener() const { return listener_; }
  // The events; each does nothing while nobody listens.
  void fire_dialing() {
    if (listener_) listener_->on_dialing();
  }
  void fire_connected() {
    if (listener_) listener_->on_connected();
  }
  void fire_not_connected(int code, const std::string& text) {
    if (listener_) listener_->on_not_connected(code, text);
  }
  void fire_error(int code, const std::string& text) {
    if (listener_) listener_->on_error(code, text);
  }
  void fire_progress(int state, const std::string& text) {
    if (listener_) listener_->on_progress(state, text);
  }

  std::vector<std::string> entry_names;
  std::vector<ActiveConnection> active;
  bool fail_entries = false, fail_dial = false, fail_active = false, fail_hang_up = false;

 private:
  CallLog& log_;
  DialUpListener* listener_ = nullptr;
};

class FakeOnlineDetector final : public OnlineDetector {
 public:
  bool online() const override { return online_; }
  void set_on_change(std::function<void(bool online)> callback) override { on_change_ = std::move(callback); }

  // The detector's next check: the callback runs only when the state changed.
  void set_online(bool online) {
    if (online == online_) return;
    online_ = online;
    if (on_change_) on_change_(online_);
  }
  bool has_callback() const { return static_cast<bool>(on_change_); }

 private:
  bool online_ = false;
  std::function<void(bool)> on_change_;
};

class FakeOnlineIndicator final : public OnlineIndicator {
 public:
  explicit FakeOnlineIndicator(CallLog& log) : log_(log) {}

  void set_online(bool online) override {
    lime_ = online;
    log_.add(online ? "indicator: lime" : "indicator: red");
  }
  void bring_to_front() override { log_.add("indicator: front"); }

  bool lime() const { return lime_; }

 private:
  CallLog& log_;
  bool lime_ = false;
};

}  // namespace cirrodex::fakes
