#include "app/core/connection.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "app/core/proxy_keys.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

bool present(const std::string& value) { return value != kMissing; }

// StrToInt's rule: a whole number in the range of int, or the text of the error.
int whole_number(const std::string& value) {
  const auto n = text::to_integer(value);
  if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
    throw std::invalid_argument("'" + value + "' is not a valid integer value");
  return static_cast<int>(*n);
}

}  // namespace

void process_proxy_info(Settings& settings, ProxySettings& ipwHTTP1, ProxySettings& ipwHTTP4cast) {
  if (const ProxyKeys keys = read_proxy_keys(settings); keys.use) {
    ipwHTTP1.mode = ipwHTTP4cast.mode = ProxySettings::Mode::Manual;
    if (keys.host) ipwHTTP1.host = ipwHTTP4cast.host = *keys.host;
    if (keys.port) ipwHTTP1.port = ipwHTTP4cast.port = whole_number(*keys.port);
    if (keys.user) ipwHTTP1.user = ipwHTTP4cast.user = *keys.user;
    if (keys.password) ipwHTTP1.password = ipwHTTP4cast.password = *keys.password;
  }
  // The authentication values apply whether or not their box is ticked:
  // only APort decides.
  if (const std::string aport = settings.get("APort"); present(aport) && aport > "0") {
    if (const std::string user = settings.get("AUserid"); present(user)) ipwHTTP1.user = ipwHTTP4cast.user = user;
    if (const std::string pass = settings.get("APass"); present(pass)) ipwHTTP1.password = ipwHTTP4cast.password = pass;
  }
}

// --- ConnectionManager ---

ConnectionManager::ConnectionManager(Settings& settings, Host& host, DialUp& dialup, OnlineDetector& detector,
                                     OnlineIndicator& indicator, RunningState& state, ConnectionHooks hooks)
    : settings_(settings),
      host_(host),
      dialup_(dialup),
      detector_(detector),
      indicator_(indicator),
      state_(state),
      hooks_(std::move(hooks)) {
  dialup_.set_listener(this);
  detector_.set_on_change([this](bool online) { online_changed(online); });
}

ConnectionManager::~ConnectionManager() {
  dialup_.set_listener(nullptr);
  detector_.set_on_change({});
}

void ConnectionManager::pending_events() {
  if (hooks_.process_pending_events) hooks_.process_pending_events();
}

void ConnectionManager::check_connection() {
  if (detector_.online()) {
    state_.connected = "y";
    indicator_.set_online(true);
  } else {
    indicator_.set_online(false);
  }
  indicator_.bring_to_front();
}

void ConnectionManager::online_changed(bool online) {
  state_.connected = online ? "y" : "";
  indicator_.set_online(online);
}

bool ConnectionManager::dial_if_needed() {
  if (!settings_.flag("dialup")) return false;
  // A missing entry reads "n/a", which is long enough to go on to the dial
  // and its own complaint.
  if (settings_.get("DialupEntry").size() < 3) {
    host_.beep();
    host_.show_status(std::string(kNoDialupEntryText));
    return true;
  }
  state_.connected.clear();
  check_connection();
  if (state_.connected != "y") dial();
  return false;
}

void ConnectionManager::dial() {
  const std::string entry = settings_.get("DialupEntry");
  if (!present(entry)) {
    host_.beep();
    host_.show_status("Dialup entry not preset in preferences.");
    host_.beep();
    host_.pause(2500);
    return;
  }
  try {
    host_.show_status("Processing dial-up logic...");
    dialup_.dial(entry);
    pending_events();
    host_.pause(5000);
  } catch (const std::exception&) {
    host_.beep();
  }
}

void ConnectionManager::request_hang_up() {
  hang_up_request_ = "y";
  for (const ActiveConnection& line : dialup_.active_connections()) {
    state_.connected = "y";
    if (hang_up_request_ == "y") {
      dialup_.hang_up(line.handle);
      hang_up_request_.clear();
    }
  }
}

void ConnectionManager::hang_up() {
  try {
    if (hooks_.abort_all_transfers) hooks_.abort_all_transfers();
    request_hang_up();
    host_.pause(2500);
    pending_events();
  } catch (const std::exception&) {
    host_.beep();
    host_.show_status(std::string(kHangUpErrorText));
    host_.pause(1500);
  }
}

void ConnectionManager::dial_default_connection() {
  if (settings_.get("DialupEntry").size() < 3) {
    host_.beep();
    host_.show_status(std::string(kNoDialupEntryText));
    return;
  }
  state_.connected.clear();
  check_connection();
  if (state_.connected != "y") dial();
}

void ConnectionManager::hang_up_command() {
  check_connection();
  if (state_.connected == "y") hang_up();
}

void ConnectionManager::exit_hang_up() {
  if (hang_up_request_ != "y") return;
  try {
    check_connection();
    if (state_.connected == "y") hang_up();
  } catch (const std::exception&) {
    host_.beep();
  }
}

void ConnectionManager::on_dialing() {
  host_.show_status("Dialing...");
  pending_events();
}

void ConnectionManager::on_connected() { host_.show_status("Connected..."); }

void ConnectionManager::on_not_connected(int, const std::string&) {
  host_.show_status("Not Connected...");
  state_.connected.clear();
}

void ConnectionManager::on_error(int, const std::string&) {
  host_.show_status("Error dialing...");
  host_.beep();
  host_.pause(1500);
}

void ConnectionManager::on_progress(int, const std::string& text) { host_.show_status(text); }

// --- The Connection Preferences dialog's values ---

namespace {

struct TimeoutChoice {
  std::string_view ms;
  std::string_view text;
};
constexpr std::array<TimeoutChoice, 5> kTimeouts = {{{"30000", kTimeoutChoices[0]},
                                                     {"60000", kTimeoutChoices[1]},
                                                     {"120000", kTimeoutChoices[2]},
                                                     {"240000", kTimeoutChoices[3]},
                                                     {"360000", kTimeoutChoices[4]}}};

void load_text(Settings& settings, std::string_view key, std::string& field) {
  if (std::string value = settings.get(key); present(value)) field = std::move(value);
}

}  // namespace

std::string_view timeout_choice_for(std::string_view timeout_setting) {
  for (const TimeoutChoice& c : kTimeouts)
    if (c.ms == timeout_setting) return c.text;
  return kDefaultTimeoutChoice;
}

int timeout_ms_for(std::string_view choice) {
  for (const TimeoutChoice& c : kTimeouts)
    if (c.text == choice) return static_cast<int>(*text::to_integer(c.ms));
  return 120000;
}

void load_connection_prefs(Settings& settings, ConnectionPrefsForm& form) {
  form.timeout_choice = std::string(timeout_choice_for(settings.get("Timeout")));
  form.auto_proxy = settings.flag("AutoProxy");
  form.use_proxy = settings.flag("ProxyUse");
  form.use_auth = settings.flag("AuthUse");
  load_text(settings, "Proxy", form.proxy);
  load_text(settings, "ProxyPort", form.proxy_port);
  load_text(settings, "ProxyUserid", form.proxy_user);
  load_text(settings, "ProxyPass", form.proxy_password);
  load_text(settings, "APort", form.auth_port);
  load_text(settings, "AUserid", form.auth_user);
  load_text(settings, "APass", form.auth_password);
  form.dialup_connection = settings.flag("dialupconn");
  if (form.dialup_connection) {
    if (const std::string entry = settings.get("DialupEntry"); present(entry)) {
      if (std::find(form.entry_names.begin(), form.entry_names.end(), entry) == form.entry_names.end())
        form.entry_names.push_back(entry);
      form.entry = entry;
    }
  }
  form.dial_as_needed = settings.flag("dialup");
  form.hang_up_when_done = settings.flag("hangup");
  form.quiet_watch = settings.flag("quietwatch");
}

PrefsOutcome apply_connection_prefs(const ConnectionPrefsForm& form, Settings& settings, Host& host,
                                    RunningState& state, const ConnectionPrefsEffects& effects) {
  const int timeout = timeout_ms_for(form.timeout_choice);
  settings.set("Timeout", std::to_string(timeout));
  state.connection_timeout_ms = timeout;
  if (effects.set_connection_timeout) effects.set_connection_timeout(timeout);

  settings.set("AutoProxy", form.auto_proxy ? "y" : "");

  if (form.use_proxy) {
    settings.set("Proxy", form.proxy);
    settings.set("ProxyPort", form.proxy_port);
    settings.set("ProxyUse", "y");
    settings.set("ProxyUserid", form.proxy_user);
    settings.set("ProxyPass", form.proxy_password);
  } else {
    settings.set("ProxyUse", "n");
  }

  if (form.use_auth) {
    settings.set("AuthUse", "y");
    settings.set("APort", form.auth_port);
    settings.set("AUserid", form.auth_user);
    settings.set("APass", form.auth_password);
  } else {
    settings.set("AuthUse", "n");
  }

  if (!form.dialup_connection) {
    state.dialup.clear();
    state.connected = "y";
    state.quiet_watch.clear();
    settings.set("dialupconn", "");
    settings.set("connected", "y");
    settings.set("quietwatch", "");
    settings.set("dialup", "");
  } else {
    state.dialup = "y";
    settings.set("dialupconn", "y");
    if (form.entry.size() < 2) {
      host.beep();
      host.message_box(std::string(kNoEntryChosenText), MessageKind::Plain, MessageButtons::Ok);
      if (effects.play_sound) effects.play_sound("sOkay");
      return PrefsOutcome::KeepOpen;
    }
    settings.set("DialupEntry", form.entry);
    settings.set("dialup", form.dial_as_needed ? "y" : "");
    settings.set("hangup", form.hang_up_when_done ? "y" : "");
  }

  // Read from the box even when it is greyed out by the direct choice.
  state.quiet_watch = form.quiet_watch ? "y" : "";
  settings.set("quietwatch", state.quiet_watch);
  if (effects.set_watcher_enabled) effects.set_watcher_enabled(form.quiet_watch);
  return PrefsOutcome::Close;
}

}  // namespace cirrodex
