#include "app/core/retrieval.h"

#include "app/core/proxy_keys.h"
#include "locations/location_string.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

std::string two_digits(int n) {
  return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

// Clears a flag however the block it guards ends.
struct FlagScope {
  explicit FlagScope(std::string& flag) : flag_(flag) { flag_ = "y"; }
  ~FlagScope() { flag_.clear(); }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  std::string& flag_;
};

struct DepthScope {
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;
  int& depth_;
};

}  // namespace

std::string last_update_text(const LocalDateTime& t) {
  int hour = t.hour % 12;
  if (hour == 0) hour = 12;
  return two_digits(hour) + two_digits(t.minute) + (t.hour < 12 ? " a" : " p");
}

// --- the transfer events ---------------------------------------------------
// After close() the events of a transfer still unwinding show nothing.

void RetrievalCycle::transfer_text(std::int64_t bytes) {
  const std::string n = std::to_string(bytes);
  host_.show_status(announced_.size() < 2 ? n + " bytes transferred..."
                                          : n + " of " + announced_ + " bytes transferred...");
}

void RetrievalCycle::IpwEvents::on_start() {
  if (c_.closed_) return;
  c_.announced_.clear();
  c_.host_.show_status("Sending request...");
}

void RetrievalCycle::IpwEvents::on_header(const std::string& field, const std::string& value) {
  if (text::upper(field) == "CONTENT-LENGTH") c_.announced_ = value;
}

void RetrievalCycle::IpwEvents::on_transfer(std::int64_t bytes_so_far, std::string_view piece) {
  if (c_.closed_) return;
  c_.received_page_.append(piece);
  c_.transfer_text(bytes_so_far);
}

void RetrievalCycle::IpwEvents::on_end() {
  if (c_.closed_) return;
  c_.host_.show_status("Transfer complete...");
  c_.received_ = "Y";
}

void RetrievalCycle::IpwEvents::on_error(int, const std::string& description) {
  if (!c_.closed_) c_.host_.show_status(description + "...");
}

void RetrievalCycle::IpwEvents::on_connected(const std::string&) {
  if (!c_.closed_) c_.host_.show_status("Connected...");
}

void RetrievalCycle::IpwEvents::on_disconnected(const std::string&) {
  if (!c_.closed_) c_.host_.show_status("Disconnected...");
}

void RetrievalCycle::IckEvents::on_start() {
  if (!c_.closed_) c_.host_.show_status("Starting transfer...");
}

void RetrievalCycle::IckEvents::on_header(const std::string& field, const std::string& value) {
  if (text::upper(field) == "CONTENT-LENGTH") c_.announced_ = value;
}

void RetrievalCycle::IckEvents::on_transfer(std::int64_t bytes_so_far, std::string_view piece) {
  if (c_.closed_) return;
  c_.document_.append(piece);
  c_.transfer_text(bytes_so_far);
}

void RetrievalCycle::IckEvents::on_end() {
  if (c_.closed_) return;
  c_.host_.show_status("Transfer complete...");
  c_.received_ = "Y";
}

void RetrievalCycle::IckEvents::on_error(int, const std::string&) {
  if (c_.closed_) return;
  c_.host_.beep();
  c_.host_.show_status("Data transfer error...");
  c_.host_.pause(2500);
}

void RetrievalCycle::IckEvents::on_status(const std::string& text) {
  if (c_.closed_) return;
  std::string shown = text;
  if (text.find("Waiting for the") != std::string::npos)
    shown = "Waiting for server response...";
  else if (text.find("Successfully rec") != std::string::npos)
    shown = "Received response...";
  else if (text.find("Looking up IP") != std::string::npos)
    shown = "Looking up IP address...";
  else if (text.find("Connecting to the sock") != std::string::npos)
    shown = "Connecting...";
  c_.host_.show_status(shown);
}

// --- one retrieval -----------------------------------------------------------

bool RetrievalCycle::enter(const char* what) {
  if (closed_) return false;
  if (depth_ == 0) return true;
  // A timer tick or a command that arrives while a download runs (the
  // event loop keeps going during it) is dropped rather than nested.
  host_.show_status(std::string("Still getting the stats... (") + what + " skipped)");
  return false;
}

void RetrievalCycle::Get_the_Stats(bool from_preset) {
  if (!enter("request")) return;
  DepthScope depth(depth_);
  stats_now(from_preset);
}

void RetrievalCycle::stats_now(bool from_preset) {
  if (!counter_sent_) {
    counter_sent_ = true;
    const std::string host = services_.has("usage_counter") ? services_.value("usage_counter") : std::string();
    if (!host.empty()) {
      HttpRequest counter;
      counter.url = services_.url("usage_counter", "/assets/CirrodexCount.txt");
      counter.referer = kReferer;
      counter.user_agent = kAgent;
      counter.timeout_ms = state_.connection_timeout_ms;
      counter.proxy = proxy_ipwHTTP1;
      try {
        t_.ipwHTTP1.get(counter, ipw_events_);
      } catch (const std::exception&) {
        // The counter's answer and failures do not matter.
      }
    }
    received_page_.clear();
  }
  received_.clear();
  if (from_preset && presets_.removal_mode()) {
    presets_.rewrite_presets(ctx_.requested);
    return;
  }
  get_location_info();
  url_ = build_url();
  retrieve_now();
}

void RetrievalCycle::get_location_info() { parse_location_string(ctx_.requested, ctx_); }

std::string RetrievalCycle::build_url() {
  return build_conditions_url(services_, state_.data_source, ctx_, host_, hooks.lookup_station);
}

void RetrievalCycle::retrieve_stats() {
  if (!enter("request")) return;
  DepthScope depth(depth_);
  retrieve_now();
}

void RetrievalCycle::fetch_location() {
  if (!enter("request")) return;
  DepthScope depth(depth_);
  url_ = build_url();
  retrieve_now();
}

void RetrievalCycle::retrieve_now() {
  if (url_.size() <= 4) {
    host_.beep();
    host_.show_status("Error - invalid url:" + url_);
    host_.pause(3000);
    return;
  }
  if (!settings_.flag("AutoProxy")) {
    HttpRequest request;
    request.url = url_;
    request.referer = kReferer;
    request.user_agent = kAgent;
    request.timeout_ms = state_.connection_timeout_ms;
    request.proxy = proxy_ipwHTTP1;
    try {
      t_.ipwHTTP1.get(request, ipw_events_);
      document_ = received_page_;
    } catch (const std::exception&) {
      if (closed_) return;
      host_.show_status("An error occurred getting stats...");
      host_.pause(1500);
      received_page_.clear();
      document_.clear();
      return;
    }
  } else {
    // Its failures reach the general error report.
    retrieve_stats_proxy();
  }
  if (closed_) return;
  received_page_.clear();
  host_.show_status("Connection process complete...");
  host_.pause(100);
  after_transfer();
}

void RetrievalCycle::retrieve_stats_proxy() {
  HttpRequest request;
  request.url = url_;
  request.user_agent = kAgentIck;
  request.timeout_ms = state_.connection_timeout_ms;
  request.proxy.mode = ProxySettings::Mode::System;
  if (const ProxyKeys keys = read_proxy_keys(settings_); keys.use) {
    request.proxy.mode = ProxySettings::Mode::Manual;
    if (keys.host) request.proxy.host = *keys.host;
    if (keys.port) request.proxy.host += ":" + *keys.port;
    if (keys.user) request.proxy.user = *keys.user;
    if (keys.password) request.proxy.password = *keys.password;
  }
  announced_.clear();
  try {
    t_.ickHTTP1.get(request, ick_events_);
  } catch (const std::exception&) {
    if (!closed_) throw;
  }
}

void run_reading_steps(const RetrievalHooks& hooks, Settings& settings, Host& host, bool received,
                       const std::function<void()>& parse, const std::function<void()>& reset,
                       const std::function<bool()>& stopped) {
  auto run = [](const std::function<void()>& hook) {
    if (hook) hook();
  };
  auto stop = [&] { return stopped && stopped(); };
  if (!received) {
    host.beep();
    host.show_status("Error retrieving stats data...(Ekc1)");
    host.pause(2000);
  } else {
    run(parse);
    run(hooks.derive_readings);
    if (settings.flag("writelog")) {
      host.show_status("Writing data to log file...");
      run(hooks.write_log_record);
      host.show_status("Log file updated...");
      host.pause(500);
    }
  }
  run(reset);
  host.show_status("Processing moon phase image...");
  run(hooks.draw_moon);
  host.show_status("Thank you for using Cirrodex...");
  // The steps below pause and play sounds: an exit during one of them ends
  // the rest quietly.
  if (stop()) return;
  if (hooks.make_icons) {
    try {
      hooks.make_icons();
    } catch (const std::exception&) {
      host.beep();
      host.show_status("Error processing temp. icons.");
      host.pause(2500);
    }
  }
  if (stop()) return;
  if (settings.flag("soundtemp")) run(hooks.speak_temperature);
  if (stop()) return;
  if (const std::string alarm = settings.get("AlarmType"); alarm != "none" && alarm != kMissing)
    run(hooks.check_temperature_alarm);
  if (stop()) return;
  run(hooks.send_taskbar_summary);
}

void RetrievalCycle::after_transfer() {
  run_reading_steps(
      hooks, settings_, host_, received_ == "Y",
      [this] { parser_.parse_stats(document_, state_.automatic_fetch == "y"); },
      [this] {
        received_.clear();
        ctx_.requested.clear();
      },
      [this] { return closed_; });
  if (closed_) return;
  state_.last_update = last_update_text(clock_.now());
  document_.clear();
}

// --- the automatic operations -------------------------------------------------

void RetrievalCycle::do_startup_stuff(const std::string& location) {
  if (!enter("automatic update")) return;
  DepthScope depth(depth_);
  startup_now(location);
}

void RetrievalCycle::startup_now(const std::string& location) {
  if (hooks.dial_if_needed && hooks.dial_if_needed()) return;
  if (settings_.flag("dialup"))
    for (const int wait : {8000, 5000, 5000}) {
      if (state_.connected == "y") break;
      host_.pause(wait);
    }
  {
    FlagScope automatic(state_.automatic_fetch);
    ctx_.requested = location;
    stats_now(false);
  }
  if (closed_) return;
  if (settings_.flag("hangup")) {
    host_.pause(200);
    const auto cycle = text::to_integer(settings_.get("WarningCycle"));
    if (!(cycle && *cycle >= 20 && *cycle <= 30) && hooks.hang_up) hooks.hang_up();
  }
}

void RetrievalCycle::get_startup_wstats() {
  if (!enter("start-up work")) return;
  DepthScope depth(depth_);
  wstats_now();
}

void RetrievalCycle::wstats_now() {
  const std::string startup = settings_.get("StartupLoc");
  if (settings_.flag("AutoUpdate") && startup.size() > 4) startup_now(startup);
  if (closed_) return;
  if (settings_.flag("hangup")) {
    host_.pause(400);
    if (hooks.hang_up) hooks.hang_up();
  }
}

void RetrievalCycle::last_updated_status() {
  const std::string hh = state_.last_update.substr(0, 2);
  const std::string nn = state_.last_update.size() > 2 ? state_.last_update.substr(2, 2) : std::string();
  if ((hh + ":" + nn).size() > 2) host_.show_status("Stats were last updated @" + hh + ":" + nn + "...");
}

int RetrievalCycle::refresh_tick(int interval_ms) {
  if (!settings_.flag("AutoUpdate") || closed_) return interval_ms;
  // The interval is set first: a tick that finds a retrieval running is
  // skipped, but must not leave the timer at its first 4 seconds.
  const int interval = refresh_interval();
  if (depth_ > 0) return interval;
  DepthScope depth(depth_);
  refresh_now();
  return interval;
}

int RetrievalCycle::refresh_interval() {
  int interval = 1800000;
  const std::string freq = settings_.get("FreqCond");
  if (freq != kMissing) {
    const auto ms = text::to_integer(freq);
    if (!ms) {
      host_.show_status("Error converting c-interval.");
      host_.pause(2000);
    } else if (*ms >= 1800000 && *ms <= 2147483647) {
      interval = static_cast<int>(*ms);
    }
  }
  return interval;
}

void RetrievalCycle::refresh_now() {
  const std::string caption = display_.caption();
  if (caption.size() > 15) {
    startup_now(text::trim(text::copy(caption, 12, 30)));
    if (closed_) return;
    state_.last_update = last_update_text(clock_.now());
  }
  last_updated_status();
}

bool RetrievalCycle::watch_tick(int refresh_interval_ms) {
  if (state_.quiet_watch != "y") return false;
  if (depth_ > 0) return true;  // a retrieval is running: this tick is skipped
  DepthScope depth(depth_);
  state_.connected.clear();
  if (hooks.check_connection) hooks.check_connection();
  const std::string hh = state_.last_update.substr(0, 2);
  const std::string nn = state_.last_update.size() > 2 ? state_.last_update.substr(2, 2) : std::string();
  if (state_.connected != "y") {
    host_.show_status("Valid connection not found...");
    host_.pause(2000);
    last_updated_status();
    return true;
  }
  host_.show_status("Stats last updated @" + hh + ":" + nn + "...");
  if (state_.last_update.empty()) {
    state_.last_update = "0000";
    wstats_now();
    return true;
  }
  if (state_.last_update == "0000") return true;
  const auto last = text::to_integer(state_.last_update.substr(0, 4));
  if (!last) {
    host_.show_status("Error in Watcher logic.");
    host_.pause(900);
    return true;
  }
  const LocalDateTime now = clock_.now();
  const long long n = now.hour * 100 + now.minute;
  long long l = *last;
  if (n > 1200) l += 1200;
  if (refresh_interval_ms / 60000 < n - l) {
    if (display_.caption().size() < 13) {
      wstats_now();
    } else if (settings_.flag("AutoUpdate")) {
      refresh_interval();
      refresh_now();
    }
  }
  return true;
}

std::optional<std::string> RetrievalCycle::fetch_text(const std::string& url) {
  // A running retrieval owns the component and its buffer.
  if (!enter("update check")) return std::nullopt;
  DepthScope depth(depth_);
  HttpRequest request;
  request.url = url;
  request.referer = kReferer;
  request.user_agent = kAgent;
  request.timeout_ms = state_.connection_timeout_ms;
  request.proxy = proxy_ipwHTTP1;
  received_page_.clear();
  std::optional<std::string> text;
  try {
    t_.ipwHTTP1.get(request, ipw_events_);
    text = received_page_;
  } catch (const std::exception&) {
    // The error event has shown why; the caller says what failed.
  }
  received_page_.clear();
  return text;
}

void RetrievalCycle::abort_all_transfers() {
  host_.show_status("Closing internal connections...");
  for (HttpTransfer* t : {&t_.ipwHTTP1, &t_.ipwHTTP4cast}) {
    try {
      t->abort();
    } catch (const std::exception&) {
    }
  }
  host_.show_status("Connection Aborted...");
  host_.pause(100);
}

void RetrievalCycle::close() {
  closed_ = true;
  for (HttpTransfer* t : {&t_.ipwHTTP1, &t_.ipwHTTP4cast, &t_.ickHTTP1}) {
    try {
      t->abort();
    } catch (const std::exception&) {
    }
  }
}

}  // namespace cirrodex
