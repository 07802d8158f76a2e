#pragma once
// Connection handling: the proxy and authentication settings given to the
// transfer components, dialing the chosen dial-up entry when an automatic
// operation needs a line and hanging it up afterwards, the online indicator,
// and the values of the Connection Preferences dialog with what its OK
// writes. Plain C++ over the dial-up, detector and indicator ports.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/running_state.h"
#include "platform/dialup.h"
#include "platform/host.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace cirrodex {

inline constexpr std::string_view kNoDialupEntryText =
    "Error dialing connection.  No dialup entry found from Connection Preferences.";
inline constexpr std::string_view kHangUpErrorText = "Error occurred hanging up conn.";

// Applies the proxy settings (when ProxyUse is "y") and the authentication
// user and password (when APort sorts after "0") to both components; what
// is not set keeps its value. A ProxyPort that is not a whole number throws
// std::invalid_argument after the host has been set.
void process_proxy_info(Settings& settings, ProxySettings& ipwHTTP1, ProxySettings& ipwHTTP4cast);

struct ConnectionHooks {
  // Stops every download of the program (the image window's abort-all).
  std::function<void()> abort_all_transfers;
  // Lets the window messages that are waiting run (paint, timers, the dial
  // events) before the caller goes on.
  std::function<void()> process_pending_events;
};

class ConnectionManager final : private DialUpListener {
 public:
  // Listens to the dial events and the detector's changes until destroyed.
  ConnectionManager(Settings& settings, Host& host, DialUp& dialup, OnlineDetector& detector,
                    OnlineIndicator& indicator, RunningState& state, ConnectionHooks hooks = {});
  ~ConnectionManager() override;
  ConnectionManager(const ConnectionManager&) = delete;
  ConnectionManager& operator=(const ConnectionManager&) = delete;

  void process_proxy_info(ProxySettings& ipwHTTP1, ProxySettings& ipwHTTP4cast) {
    cirrodex::process_proxy_info(settings_, ipwHTTP1, ipwHTTP4cast);
  }

  // The detector's state into the connected flag ("y" when online; left as
  // the caller set it when offline) and the indicator.
  void check_connection();
  // The detector's change event.
  void online_changed(bool online);
  // For the automatic operations: dials when the dialup setting asks for it
  // and no line is up. true: no entry is set and the caller must stop.
  bool dial_if_needed();
  void dial();
  // Aborts every transfer, hangs up the first active connection, then
  // pauses; failures go to the status line.
  void hang_up();
  // The hang-up itself, without the abort, the pause or the failure report
  // (the wallpaper timer reports in its own words). Throws DialUpError.
  void request_hang_up();

  // Menu "&Dial-up default Connection".
  void dial_default_connection();
  // Menu "&Hang-up Dialup Connection".
  void hang_up_command();
  // At exit: a hang-up that found no line gets another chance.
  void exit_hang_up();

  // "y" from a hang-up request until a connection has been hung up.
  const std::string& hang_up_request() const { return hang_up_request_; }

 private:
  void on_dialing() override;
  void on_connected() override;
  void on_not_connected(int code, const std::string& text) override;
  void on_error(int code, const std::string& text) override;
  void on_progress(int state, const std::string& text) override;
  void pending_events();

  Settings& settings_;
  Host& host_;
  DialUp& dialup_;
  OnlineDetector& detector_;
  OnlineIndicator& indicator_;
  RunningState& state_;
  ConnectionHooks hooks_;
  std::string hang_up_request_;
};

// --- The Connection Preferences dialog's values ---

inline constexpr std::array<std::string_view, 5> kTimeoutChoices = {"30 seconds", "60 seconds", "120 seconds",
                                                                    "240 seconds", "360 seconds"};
inline constexpr std::string_view kDefaultTimeoutChoice = "120 seconds";
inline constexpr std::string_view kNoEntryChosenText = "Uh oh, you did not select a dial-up connection name.";

// The list text for a Timeout value; "120 seconds" for anything unknown.
std::string_view timeout_choice_for(std::string_view timeout_setting);
// The milliseconds of a list text; 120000 for anything else.
int timeout_ms_for(std::string_view choice);

// What the dialog shows, one member per control.
struct ConnectionPrefsForm {
  std::string timeout_choice{kDefaultTimeoutChoice};
  bool auto_proxy = false;
  bool use_proxy = false;
  std::string proxy, proxy_port, proxy_user, proxy_password;
  bool use_auth = false;
  std::string auth_port, auth_user, auth_password;
  bool dialup_connection = false;  // the dial-up choice, else the direct one
  std::vector<std::string> entry_names;
  std::string entry;  // the entry list's text
  bool dial_as_needed = false, hang_up_when_done = false, quiet_watch = false;
};

// The values shown when the dialog opens. Text fields whose key is missing
// keep what they showed before; the entry is added to the list when new.
void load_connection_prefs(Settings& settings, ConnectionPrefsForm& form);

struct ConnectionPrefsEffects {
  std::function<void(int ms)> set_connection_timeout;
  std::function<void(bool enabled)> set_watcher_enabled;
  std::function<void(std::string_view name)> play_sound;
};

enum class PrefsOutcome { Close, KeepOpen };

// OK: writes the settings and the running flags in the dialog's order. A
// dial-up choice without an entry stops after dialupconn with a message;
// the dialog then stays open.
PrefsOutcome apply_connection_prefs(const ConnectionPrefsForm& form, Settings& settings, Host& host,
                                    RunningState& state, const ConnectionPrefsEffects& effects);

}  // namespace cirrodex
