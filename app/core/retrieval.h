#pragma once
// The conditions retrieval cycle: from a location string to the conditions
// address, the download, the parser and everything that follows a new
// reading; the start-up work, the refresh timer, the connection watch, the
// transfer events' status texts and the abort command.
//
// The steps that belong to other parts of the program (moon picture,
// derived readings, stats log, temperature icons, spoken temperature,
// temperature alarm, task-bar summary, dial-up, station lookup) are hooks
// the program sets.

#include <functional>
#include <optional>
#include <string>

#include "app/core/running_state.h"
#include "conditions/conditions_address.h"
#include "conditions/parse_stats.h"
#include "locations/location_context.h"
#include "locations/presets.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/host.h"
#include "platform/http.h"
#include "platform/services.h"
#include "platform/settings.h"

namespace cirrodex {

struct RetrievalHooks {
  std::function<void()> derive_readings;
  // Appends the reading to the stats log (run only when writelog is "y").
  std::function<void()> write_log_record;
  std::function<void()> draw_moon;
  // The temperature icons; a failure that escapes them is reported by the
  // cycle, which then goes on.
  std::function<void()> make_icons;
  // Runs only when soundtemp is "y".
  std::function<void()> speak_temperature;
  // Run only when AlarmType is neither "none" nor missing.
  std::function<void()> check_temperature_alarm;
  std::function<void()> send_taskbar_summary;
  // The station number of a place outside the US ("n/a" after a miss).
  std::function<std::string(LocationContext&)> lookup_station;
  // true: the automatic operation must stop (no dial-up entry set).
  std::function<bool()> dial_if_needed;
  std::function<void()> hang_up;
  // Clears nothing itself: reads the online state into the connected flag.
  std::function<void()> check_connection;
};

// The transfer components of the main window.
struct MainTransfers {
  HttpTransfer& ipwHTTP1;      // conditions and most pages
  HttpTransfer& ipwHTTP4cast;  // text reports and warning pages
  HttpTransfer& ickHTTP1;      // conditions through the system's proxy settings
};

inline constexpr std::string_view kReferer = "Cirrodex_by_Velmoraworks";
inline constexpr std::string_view kAgent = "Cirrodex HTTP Control";
inline constexpr std::string_view kAgent4cast = "Cirrodex HTTP Control 4cast";
inline constexpr std::string_view kAgentIck = "Cirrodex ickHTTP Control";

// The steps after a download, in their order: when the transfer ended well
// the parse and what follows it (derived readings, the log), else the
// failure text; then reset (the cycle clears its flags there), the moon
// picture, the icons, the spoken temperature, the alarm and the task-bar
// summary. stopped (the exit) ends the steps after "Thank you...". The
// retrieval cycle runs them after every download, cirrodex-inspect after
// parsing a file.
void run_reading_steps(const RetrievalHooks& hooks, Settings& settings, Host& host, bool received,
                       const std::function<void()>& parse, const std::function<void()>& reset,
                       const std::function<bool()>& stopped);

// "hhnn a/p": hours of the 12-hour clock with a leading zero, minutes.
std::string last_update_text(const LocalDateTime& t);

class RetrievalCycle {
 public:
  RetrievalCycle(Settings& settings, Host& host, Display& display, Clock& clock, const Services& services,
                 MainTransfers transfers, ConditionsParser& parser, PresetList& presets, LocationContext& location,
                 RunningState& state)
      : settings_(settings),
        host_(host),
        display_(display),
        clock_(clock),
        services_(services),
        t_(transfers),
        parser_(parser),
        presets_(presets),
        ctx_(location),
        state_(state) {}

  RetrievalHooks hooks;
  // The proxy settings process_proxy_info gives each component.
  ProxySettings proxy_ipwHTTP1, proxy_ipwHTTP4cast;

  // One retrieval of the requested location; from_preset: a preset entry's
  // click (which removes the entry instead while removal mode is on).
  void Get_the_Stats(bool from_preset = false);
  void get_location_info();
  // The conditions address for the location context; empty when none.
  std::string build_url();
  void retrieve_stats();
  // Builds the address of the location context as it stands and fetches it
  // (the location chooser's OK).
  void fetch_location();
  void do_startup_stuff(const std::string& location);
  void get_startup_wstats();
  // Timer1: returns the interval for the next tick, also when the tick is
  // skipped because a retrieval runs.
  int refresh_tick(int interval_ms);
  // Watcher: false when the timer is to stop.
  bool watch_tick(int refresh_interval_ms);
  // A plain GET on ipwHTTP1 with its transfer events (status texts, the
  // received-page buffer) and the conditions fetch's Referer: the text the
  // events collected, or nothing when the transfer failed or a retrieval is
  // running. The buffer is left empty for the next retrieval.
  std::optional<std::string> fetch_text(const std::string& url);
  // The abort command: ipwHTTP1 and ipwHTTP4cast, with its status texts.
  void abort_all_transfers();
  // At exit: every component is aborted and whatever a running retrieval
  // would still do (texts, pauses, parsing, further steps) is skipped; no
  // retrieval starts afterwards.
  void close();

  bool running() const { return depth_ > 0; }
  // After close(): a step still running below the exit stops at its next turn.
  bool closed() const { return closed_; }
  const std::string& conditions_address() const { return url_; }
  const std::string& received_page() const { return received_page_; }
  const std::string& received_flag() const { return received_; }

 private:
  class IpwEvents;
  class IckEvents;
  friend class IpwEvents;
  friend class IckEvents;
  void transfer_text(std::int64_t bytes);
  void retrieve_stats_proxy();
  // The operations themselves, for the ones that call each other.
  void stats_now(bool from_preset);
  void retrieve_now();
  void startup_now(const std::string& location);
  void wstats_now();
  // Step 2 of the refresh tick: FreqCond, at least 30 minutes.
  int refresh_interval();
  void refresh_now();
  void after_transfer();
  void last_updated_status();
  // Drops a retrieval that would start inside another.
  bool enter(const char* what);

  class IpwEvents final : public HttpEvents {
   public:
    explicit IpwEvents(RetrievalCycle& c) : c_(c) {}
    void on_start() override;
    void on_header(const std::string& field, const std::string& value) override;
    void on_transfer(std::int64_t bytes_so_far, std::string_view piece) override;
    void on_end() override;
    void on_error(int code, const std::string& description) override;
    void on_connected(const std::string& description) override;
    void on_disconnected(const std::string& description) override;

   private:
    RetrievalCycle& c_;
  };
  class IckEvents final : public HttpEvents {
   public:
    explicit IckEvents(RetrievalCycle& c) : c_(c) {}
    void on_start() override;
    void on_header(const std::string& field, const std::string& value) override;
    void on_transfer(std::int64_t bytes_so_far, std::string_view piece) override;
    void on_end() override;
    void on_error(int code, const std::string& description) override;
    void on_status(const std::string& text) override;

   private:
    RetrievalCycle& c_;
  };

  Settings& settings_;
  Host& host_;
  Display& display_;
  Clock& clock_;
  const Services& services_;
  MainTransfers t_;
  ConditionsParser& parser_;
  PresetList& presets_;
  LocationContext& ctx_;
  RunningState& state_;

  std::string url_;
  std::string received_page_, document_;
  std::string announced_;
  std::string received_;
  bool counter_sent_ = false;
  int depth_ = 0;
  bool closed_ = false;
  IpwEvents ipw_events_{*this};
  IckEvents ick_events_{*this};
};

}  // namespace cirrodex
