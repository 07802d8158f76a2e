#include "app/core/retrieval.h"

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

void RetrievalCycle::status(const std::string& text) {
  if (!report_kind.empty() && hooks.report_status)
    hooks.report_status(text);
  else
    host_.show_status(text);
}

void RetrievalCycle::transfer_text(std::int64_t bytes, bool to_report) {
  const std::string n = std::to_string(bytes);
  const std::string text =
      announced_.size() < 2 ? n + " bytes transferred..." : n + " of " + announced_ + " bytes transferred...";
  if (to_report)
    status(text);
  else
    host_.show_status(text);
}

void RetrievalCycle::IpwEvents::on_start() {
  if (!cast_) c_.announced_.clear();
  c_.status("Sending request...");
}

void RetrievalCycle::IpwEvents::on_header(const std::string& field, const std::string& value) {
  if (text::upper(field) == "CONTENT-LENGTH") c_.announced_ = value;
}

void RetrievalCycle::IpwEvents::on_transfer(std::int64_t bytes_so_far, std::string_view piece) {
  (cast_ ? c_.report_page_ : c_.received_page_).append(piece);
  c_.transfer_text(bytes_so_far, true);
}

void RetrievalCycle::IpwEvents::on_end() {
  c_.status("Transfer complete...");
  c_.received_ = "Y";
}

void RetrievalCycle::IpwEvents::on_error(int, const std::string& description) {
  c_.status(cast_ ? description : description + "...");
}

void RetrievalCycle::IpwEvents::on_connected(const std::string&) { c_.status("Connected..."); }

void RetrievalCycle::IpwEvents::on_disconnected(const std::string&) { c_.status("Disconnected..."); }

void RetrievalCycle::IckEvents::on_start() { c_.host_.show_status("Starting transfer..."); }

void RetrievalCycle::IckEvents::on_header(const std::string& field, const std::string& value) {
  if (text::upper(field) == "CONTENT-LENGTH") c_.announced_ = value;
}

void RetrievalCycle::IckEvents::on_transfer(std::int64_t bytes_so_far, std::string_view piece) {
  c_.document_.append(piece);
  c_.transfer_text(bytes_so_far, false);
}

void RetrievalCycle::IckEvents::on_end() {
  c_.host_.show_status("Transfer complete...");
  c_.received_ = "Y";
}

void RetrievalCycle::IckEvents::on_error(int, const std::string&) {
  c_.host_.beep();
  c_.host_.show_status("Data transfer error...");
  c_.host_.pause(2500);
}

void RetrievalCycle::IckEvents::on_status(const std::string& text) {
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
  if (settings_.flag("ProxyUse")) {
    request.proxy.mode = ProxySettings::Mode::Manual;
    if (const std::string proxy = settings_.get("Proxy"); proxy != kMissing) request.proxy.host = proxy;
    if (const std::string port = settings_.get("ProxyPort"); port != kMissing) request.proxy.host += ":" + port;
    if (const std::string user = settings_.get("ProxyUserid"); user != kMissing) request.proxy.user = user;
    if (const std::string pass = settings_.get("ProxyPass"); pass != kMissing) request.proxy.password = pass;
  }
  announced_.clear();
  t_.ickHTTP1.get(request, ick_events_);
}

void RetrievalCycle::after_transfer() {
  auto run = [](const std::function<void()>& hook) {
    if (hook) hook();
  };
  if (received_ != "Y") {
    host_.beep();
    host_.show_status("Error retrieving stats data...(Ekc1)");
    host_.pause(2000);
  } else {
    run(hooks.build_forecast_page);
    parser_.parse_stats(document_, state_.automatic_fetch == "y");
    run(hooks.derive_readings);
    if (settings_.flag("writelog")) {
      host_.show_status("Writing data to log file...");
      run(hooks.write_log_record);
      host_.show_status("Log file updated...");
      host_.pause(500);
    }
  }
  received_.clear();
  ctx_.requested.clear();
  host_.show_status("Processing moon phase image...");
  run(hooks.draw_moon);
  host_.show_status("Thank you for using Cirrodex...");

  try {
    const std::string temp = settings_.get("TempIcon");
    if (temp == "y" || temp == "b") run(hooks.temperature_icon);
    if (settings_.flag("HIndexIcon")) run(hooks.heat_index_icon);
    if (settings_.flag("WindcIcon")) run(hooks.wind_chill_icon);
  } catch (const std::exception&) {
    host_.beep();
    host_.show_status("Error processing temp. icons.");
    host_.pause(2500);
  }
  if (settings_.flag("soundtemp")) run(hooks.speak_temperature);
  if (const std::string alarm = settings_.get("AlarmType"); alarm != "none" && alarm != kMissing)
    run(hooks.alarm_check);
  run(hooks.send_taskbar_summary);
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
  if (settings_.flag("AutoWarn")) {
    FlagScope automatic(state_.automatic_fetch);
    if (hooks.warning_cycle) hooks.warning_cycle();
  }
  if (hooks.automatic_wallpaper) hooks.automatic_wallpaper();
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
  if (!settings_.flag("AutoUpdate")) return interval_ms;
  if (depth_ > 0) return interval_ms;  // a retrieval is running: this tick is skipped
  DepthScope depth(depth_);
  return refresh_now(interval_ms);
}

int RetrievalCycle::refresh_now(int interval_ms) {
  if (!settings_.flag("AutoUpdate")) return interval_ms;
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
  const std::string caption = display_.caption();
  if (caption.size() > 15) {
    startup_now(text::trim(text::copy(caption, 12, 30)));
    state_.last_update = last_update_text(clock_.now());
  }
  last_updated_status();
  return interval;
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
    if (display_.caption().size() < 13)
      wstats_now();
    else
      refresh_now(refresh_interval_ms);
  }
  return true;
}

void RetrievalCycle::abort_all_transfers() {
  host_.show_status("Closing internal connections...");
  for (HttpTransfer* t : {&t_.ipwHTTP1, &t_.ipwHTTP4cast}) {
    try {
      t->abort();
    } catch (const std::exception&) {
    }
  }
  if (hooks.abort_other_transfers) hooks.abort_other_transfers();
  host_.show_status("Connection Aborted...");
  host_.pause(100);
}

}  // namespace cirrodex
