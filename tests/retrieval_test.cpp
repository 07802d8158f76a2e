// The retrieval cycle through the fakes: addresses, the download's status
// texts, what follows a reading, the automatic operations, the refresh and
// watch ticks, re-entry and abort.
#include "app/core/retrieval.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "platform/fakes/fake_clock.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::read_fixture;
using Calls = std::vector<std::string>;

// A transfer component that plays a scripted answer per address. during
// runs between the body's pieces, as the event loop would run a timer or a
// command in the middle of a download.
class ScriptedTransfer final : public HttpTransfer {
 public:
  struct Answer {
    std::vector<std::string> pieces;
    bool fail = false;
    bool end = true;  // raise end of transfer
  };
  explicit ScriptedTransfer(fakes::CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}

  void get(const HttpRequest& request, HttpEvents& events) override {
    if (busy_) throw TransferError(1, "busy");
    requests.push_back(request);
    log_.add(name_ + " get: " + request.url);
    busy_ = true;
    aborted_ = false;
    const auto it = answers.find(request.url);
    const Answer answer = it == answers.end() ? Answer{{}, true, false} : it->second;
    events.on_start();
    std::size_t total = 0;
    for (const auto& p : answer.pieces) total += p.size();
    events.on_header("Content-Length", std::to_string(total));
    std::int64_t so_far = 0;
    for (const std::string& piece : answer.pieces) {
      so_far += static_cast<std::int64_t>(piece.size());
      events.on_transfer(so_far, piece);
      if (during) during();
      if (aborted_) break;
    }
    busy_ = false;
    if (aborted_ || answer.fail) {
      const std::string why = aborted_ ? "Connection Aborted" : "404 Not Found";
      events.on_error(1, why);
      throw TransferError(1, why);
    }
    if (answer.end) events.on_end();
  }
  void abort() override {
    if (busy_) aborted_ = true;
  }
  bool busy() const override { return busy_; }

  std::map<std::string, Answer> answers;
  std::vector<HttpRequest> requests;
  std::function<void()> during;

 private:
  fakes::CallLog& log_;
  std::string name_;
  bool busy_ = false, aborted_ = false;
};

const char* kServices = "conditions = http://wx.test\nusage_counter = http://maker.test\n";

struct RetrievalRig : testing::ParserRig {
  fakes::FakeClock clock;
  Services services{kServices};
  ScriptedTransfer ipw{log, "ipwHTTP1"}, cast{log, "ipwHTTP4cast"}, ick{log, "ickHTTP1"};
  RunningState state;
  RetrievalCycle cycle{settings, host, display, clock, services, {ipw, cast, ick}, parser, presets, ctx, state};

  RetrievalRig() {
    clock.set_time(14, 30);
    ipw.answers["http://maker.test/assets/CirrodexCount.txt"] = {{"1"}};
  }
  // The page, in three pieces.
  void serve(const std::string& url, const std::string& body) {
    const std::size_t third = body.size() / 3;
    ipw.answers[url] = {{body.substr(0, third), body.substr(third, third), body.substr(2 * third)}};
    ick.answers[url] = ipw.answers[url];
  }
  Calls gets() const {
    Calls out;
    for (const auto& e : log.entries)
      if (e.find(" get: ") != std::string::npos) out.push_back(e);
    return out;
  }
};

TEST(BuildUrl, TheThreeAddressForms) {
  struct Row {
    const char* location;
    const char* source;
    const char* station;
    const char* url;
    const char* message;
  };
  for (const Row& row : {
           Row{"12345 - Tuscaloosa, AL", "1", "", "http://wx.test/auto/Cirrodex/12345", nullptr},
           Row{"Muscle_Shoals, AL", "2", "", "http://wx.test/auto/raw/AL/Muscle_Shoals.html", nullptr},
           Row{"Muscle Shoals, AL", "1", "", "http://wx.test/auto/Cirrodex/AL/Muscle_Shoals.html", nullptr},
           Row{"Francistown, Botswana (O)", "1", "68240", "http://wx.test/auto/Cirrodex/global/stations/68240.html",
               nullptr},
           Row{"Prague, Czech Republic (O)", "1", "n/a", "", "message: Error - Invalid city:n/a"},
           Row{"Nowhere, Atlantis (O)", "1", "", "", "message: Error in Unit1 - Invalid city:"},
       }) {
    RetrievalRig rig;
    rig.state.data_source = row.source;
    std::string seen_key;
    rig.cycle.hooks.lookup_station = [&](LocationContext& ctx) {
      seen_key = ctx.state_or_country;
      return std::string(row.station);
    };
    rig.ctx.requested = row.location;
    rig.cycle.get_location_info();
    EXPECT_EQ(rig.cycle.build_url(), row.url) << row.location;
    if (row.message) {
      EXPECT_EQ(rig.log.with_prefix("message: "), Calls{row.message}) << row.location;
    }
    if (std::string(row.url).find("global") != std::string::npos) {
      EXPECT_EQ(seen_key, "Botswana (O)");
      EXPECT_EQ(rig.ctx.city, "68240");
    }
  }
}

TEST(Retrieval, AFetchByHandFromDownloadToTheLastUpdateTime) {
  RetrievalRig rig;
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  std::vector<std::string> steps;
  auto step = [&](const char* name) { return [&steps, name] { steps.emplace_back(name); }; };
  rig.cycle.hooks.build_forecast_page = step("forecast page");
  rig.cycle.hooks.derive_readings = step("derive");
  rig.cycle.hooks.draw_moon = step("moon");
  rig.cycle.hooks.send_taskbar_summary = step("summary");
  rig.cycle.hooks.write_log_record = step("log");
  rig.settings.set("writelog", "y");
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats(true);

  EXPECT_EQ(rig.gets(), (Calls{"ipwHTTP1 get: http://maker.test/assets/CirrodexCount.txt",
                               "ipwHTTP1 get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"}));
  const HttpRequest& request = rig.ipw.requests.back();
  EXPECT_EQ(request.referer, "Cirrodex_by_Velmoraworks");
  EXPECT_EQ(request.user_agent, "Cirrodex HTTP Control");
  EXPECT_EQ(request.timeout_ms, 240000);
  EXPECT_EQ(steps, (Calls{"forecast page", "derive", "log", "moon", "summary"}));
  EXPECT_EQ(rig.display.caption(), "Cirrodex - Tuscaloosa, AL");
  EXPECT_EQ(rig.state.last_update, "0230 p");
  EXPECT_EQ(rig.ctx.requested, "");
  EXPECT_EQ(rig.cycle.received_flag(), "");

  // The status line, in order (the parser's own texts in between).
  const Calls statuses = rig.log.with_prefix("status: ");
  const std::size_t size = read_fixture("conditions_page.html").size();
  const Calls expected_order = {
      "status: Sending request...",
      "status: " + std::to_string(size) + " of " + std::to_string(size) + " bytes transferred...",
      "status: Transfer complete...",
      "status: Connection process complete...",
      "status: Writing data to log file...",
      "status: Log file updated...",
      "status: Processing moon phase image...",
      "status: Thank you for using Cirrodex..."};
  std::size_t at = 0;
  for (const std::string& s : statuses)
    if (at < expected_order.size() && s == expected_order[at]) ++at;
  EXPECT_EQ(at, expected_order.size()) << "missing " << expected_order[std::min(at, expected_order.size() - 1)];

  // The usage counter is asked once per run.
  rig.log.clear();
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats(false);
  EXPECT_EQ(rig.gets(), (Calls{"ipwHTTP1 get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"}));
}

TEST(Retrieval, FailuresReportAndPause) {
  {
    RetrievalRig rig;  // no address could be built
    rig.cycle.retrieve_stats();
    EXPECT_EQ(rig.host_calls(), (Calls{"beep", "status: Error - invalid url:", "pause: 3000"}));
    EXPECT_TRUE(rig.gets().empty());
  }
  {
    RetrievalRig rig;  // the server says 404: steps after the download are skipped
    bool moon = false;
    rig.cycle.hooks.draw_moon = [&] { moon = true; };
    rig.ctx.requested = "Tuscaloosa, AL";
    rig.cycle.Get_the_Stats();
    const Calls calls = rig.host_calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ((Calls{calls.end() - 2, calls.end()}),
              (Calls{"status: An error occurred getting stats...", "pause: 1500"}));
    EXPECT_NE(std::find(calls.begin(), calls.end(), "status: 404 Not Found..."), calls.end());
    EXPECT_FALSE(moon);
  }
  {
    RetrievalRig rig;  // a transfer that ends without its end signal still runs the closing steps
    rig.ipw.answers["http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"] = {{"<html>"}, false, false};
    bool moon = false;
    rig.cycle.hooks.draw_moon = [&] { moon = true; };
    rig.ctx.requested = "Tuscaloosa, AL";
    rig.cycle.Get_the_Stats();
    const Calls calls = rig.host_calls();
    const Calls tail = {"beep", "status: Error retrieving stats data...(Ekc1)", "pause: 2000",
                        "status: Processing moon phase image...", "status: Thank you for using Cirrodex..."};
    EXPECT_EQ((Calls{calls.end() - 5, calls.end()}), tail);
    EXPECT_TRUE(moon);
    EXPECT_EQ(rig.display.caption(), "Cirrodex");
  }
}

TEST(Retrieval, IconStepsStopAtTheFirstFailure) {
  RetrievalRig rig;
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  rig.settings.set("TempIcon", "b");
  rig.settings.set("HIndexIcon", "y");
  rig.settings.set("WindcIcon", "y");
  Calls icons;
  rig.cycle.hooks.temperature_icon = [&] { icons.push_back("temp"); };
  rig.cycle.hooks.heat_index_icon = [&] {
    icons.push_back("heat");
    throw std::runtime_error("no picture");
  };
  rig.cycle.hooks.wind_chill_icon = [&] { icons.push_back("wind"); };
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  EXPECT_EQ(icons, (Calls{"temp", "heat"}));
  const Calls calls = rig.host_calls();
  EXPECT_EQ((Calls{calls.end() - 3, calls.end()}),
            (Calls{"beep", "status: Error processing temp. icons.", "pause: 2500"}));
}

TEST(Retrieval, TheSystemProxyPathTranslatesItsPhases) {
  RetrievalRig rig;
  rig.settings.set("AutoProxy", "y");
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  ASSERT_EQ(rig.ick.requests.size(), 1u);
  EXPECT_EQ(rig.ick.requests[0].referer, "");
  EXPECT_EQ(rig.ick.requests[0].user_agent, "Cirrodex ickHTTP Control");
  EXPECT_EQ(rig.ick.requests[0].proxy.mode, ProxySettings::Mode::System);
  EXPECT_EQ(rig.display.caption(), "Cirrodex - Tuscaloosa, AL");

  rig.log.clear();
  rig.settings.set("ProxyUse", "y");
  rig.settings.set("Proxy", "proxy.lan");
  rig.settings.set("ProxyPort", "3128");
  rig.settings.set("ProxyUserid", "me");
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  const ProxySettings& proxy = rig.ick.requests.back().proxy;
  EXPECT_EQ(proxy.mode, ProxySettings::Mode::Manual);
  EXPECT_EQ(proxy.host, "proxy.lan:3128");
  EXPECT_EQ(proxy.user, "me");
  EXPECT_EQ(proxy.password, "");
}

TEST(Retrieval, StatusPhasesOfTheSystemProxyComponent) {
  RetrievalRig rig;
  // Drive ickHTTP1's handlers through a GET whose transfer raises phases.
  class PhasedTransfer final : public HttpTransfer {
   public:
    void get(const HttpRequest&, HttpEvents& events) override {
      for (const char* phase :
           {"Looking up IP address of wx.test", "Connecting to the socket of wx.test",
            "Waiting for the server response", "Successfully received the response", "Reading headers"})
        events.on_status(phase);
      events.on_error(7, "refused");
      throw TransferError(7, "refused");
    }
    void abort() override {}
    bool busy() const override { return false; }
  } phased;
  RetrievalCycle cycle{rig.settings, rig.host,    rig.display, rig.clock, rig.services, {rig.ipw, rig.cast, phased},
                       rig.parser,   rig.presets, rig.ctx,     rig.state};
  rig.settings.set("AutoProxy", "y");
  rig.ctx.requested = "Tuscaloosa, AL";
  EXPECT_THROW(cycle.Get_the_Stats(), TransferError);  // reaches the general error report
  const Calls calls = rig.host_calls();
  const Calls expected = {"status: Looking up IP address...",
                          "status: Connecting...",
                          "status: Waiting for server response...",
                          "status: Received response...",
                          "status: Reading headers",
                          "beep",
                          "status: Data transfer error...",
                          "pause: 2500"};
  EXPECT_EQ((Calls{calls.end() - 8, calls.end()}), expected);
}

TEST(Retrieval, NothingStartsInsideARunningRetrievalAndAbortEndsIt) {
  RetrievalRig rig;
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  rig.settings.set("AutoUpdate", "y");
  rig.display.set_caption("Cirrodex - Muscle_Shoals, AL");
  int nested = 0;
  rig.ipw.during = [&] {
    if (rig.ipw.requests.back().url.find("wx.test") == std::string::npos || nested++ > 0) return;
    rig.cycle.refresh_tick(1800000);  // the refresh timer fires in the middle
    rig.cycle.Get_the_Stats(true);    // and the user picks a preset
    rig.cycle.abort_all_transfers();  // then aborts
  };
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  EXPECT_EQ(rig.gets(), (Calls{"ipwHTTP1 get: http://maker.test/assets/CirrodexCount.txt",
                               "ipwHTTP1 get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"}));
  const Calls calls = rig.host_calls();
  auto has = [&](const std::string& s) { return std::find(calls.begin(), calls.end(), s) != calls.end(); };
  EXPECT_TRUE(has("status: Still getting the stats... (request skipped)"));
  EXPECT_TRUE(has("status: Closing internal connections..."));
  EXPECT_TRUE(has("status: Connection Aborted..."));
  EXPECT_TRUE(has("status: An error occurred getting stats..."));
  EXPECT_FALSE(rig.cycle.running());
}

TEST(Retrieval, RefreshTickTakesTheLocationFromTheCaption) {
  struct Row {
    const char* caption;
    const char* fetched;  // nullptr: no fetch
  };
  for (const Row& row : {
           Row{"Cirrodex - Tuscaloosa, AL", "http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"},
           Row{"Cirrodex - ABCD", nullptr},  // exactly 15 characters
           // The location is cut to 30 characters: ", CA" loses its "A".
           Row{"Cirrodex - Rancho_Santa_Margarita_City, CA",
               "http://wx.test/auto/Cirrodex/C/Rancho_Santa_Margarita_City.html"},
       }) {
    RetrievalRig rig;
    rig.settings.set("AutoUpdate", "y");
    rig.display.set_caption(row.caption);
    rig.cycle.refresh_tick(4000);
    const Calls gets = rig.gets();
    if (row.fetched == nullptr) {
      EXPECT_TRUE(gets.empty()) << row.caption;
    } else {
      ASSERT_FALSE(gets.empty()) << row.caption;
      EXPECT_EQ(gets.back(), std::string("ipwHTTP1 get: ") + row.fetched);
    }
  }
}

TEST(Retrieval, RefreshIntervalFromFreqCond) {
  struct Row {
    const char* freq;
    int interval;
    bool error;
  };
  for (const Row& row : {Row{"900000", 1800000, false}, Row{"12000000", 12000000, false}, Row{"abc", 1800000, true},
                         Row{"n/a", 1800000, false}}) {
    RetrievalRig rig;
    rig.settings.set("AutoUpdate", "y");
    if (std::string(row.freq) != "n/a") rig.settings.set("FreqCond", row.freq);
    EXPECT_EQ(rig.cycle.refresh_tick(4000), row.interval) << row.freq;
    const Calls calls = rig.host_calls();
    EXPECT_EQ(!calls.empty() && calls.front() == "status: Error converting c-interval.", row.error) << row.freq;
  }
  RetrievalRig off;
  EXPECT_EQ(off.cycle.refresh_tick(4000), 4000);  // AutoUpdate off: nothing at all
  EXPECT_TRUE(off.log.entries.empty());
}

TEST(Retrieval, AutomaticRetrievalDialsWaitsAndHangsUp) {
  struct Row {
    const char* cycle;
    bool hangs_up;
  };
  for (const Row& row : {Row{"25", false}, Row{"20", false}, Row{"10", true}, Row{"45", true}, Row{"n/a", true}}) {
    RetrievalRig rig;
    rig.settings.set("hangup", "y");
    if (std::string(row.cycle) != "n/a") rig.settings.set("WarningCycle", row.cycle);
    bool hung = false;
    rig.cycle.hooks.hang_up = [&] { hung = true; };
    bool automatic_during_get = false;
    rig.ipw.during = [&] { automatic_during_get = rig.state.automatic_fetch == "y"; };
    rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
    rig.cycle.do_startup_stuff("Tuscaloosa, AL");
    EXPECT_EQ(hung, row.hangs_up) << row.cycle;
    EXPECT_TRUE(automatic_during_get);
    EXPECT_EQ(rig.state.automatic_fetch, "");
  }
  {
    RetrievalRig rig;  // no dial-up entry: nothing is fetched
    rig.cycle.hooks.dial_if_needed = [] { return true; };
    rig.cycle.do_startup_stuff("Tuscaloosa, AL");
    EXPECT_TRUE(rig.gets().empty());
  }
  {
    RetrievalRig rig;  // after a dial: 8, 5 and 5 seconds for the line to come up
    rig.settings.set("dialup", "y");
    rig.cycle.hooks.dial_if_needed = [] { return false; };
    rig.cycle.do_startup_stuff("Tuscaloosa, AL");
    const Calls calls = rig.host_calls();
    EXPECT_EQ((Calls{calls.begin(), calls.begin() + 3}), (Calls{"pause: 8000", "pause: 5000", "pause: 5000"}));
  }
}

TEST(Retrieval, StartupWorkRunsTheWarningCycleOnceWithTheAutomaticFlag) {
  RetrievalRig rig;
  rig.settings.set("AutoUpdate", "y");
  rig.settings.set("StartupLoc", "None");  // four characters: no start-up location
  rig.settings.set("AutoWarn", "y");
  std::string flag_seen;
  rig.cycle.hooks.warning_cycle = [&] { flag_seen = rig.state.automatic_fetch; };
  bool wallpaper = false;
  rig.cycle.hooks.automatic_wallpaper = [&] { wallpaper = true; };
  rig.cycle.get_startup_wstats();
  EXPECT_TRUE(rig.gets().empty());
  EXPECT_EQ(flag_seen, "y");
  EXPECT_EQ(rig.state.automatic_fetch, "");
  EXPECT_TRUE(wallpaper);
}

TEST(Retrieval, WatchTicks) {
  {
    RetrievalRig rig;
    rig.state.quiet_watch = "";
    EXPECT_FALSE(rig.cycle.watch_tick(1800000));  // the timer stops
  }
  {
    RetrievalRig rig;  // offline
    rig.state.quiet_watch = "y";
    rig.state.last_update = "0215 p";
    rig.cycle.watch_tick(1800000);
    EXPECT_EQ(rig.host_calls(), (Calls{"status: Valid connection not found...", "pause: 2000",
                                       "status: Stats were last updated @02:15..."}));
  }
  {
    RetrievalRig rig;  // online for the first time: the start-up work runs
    rig.state.quiet_watch = "y";
    rig.cycle.hooks.check_connection = [&] { rig.state.connected = "y"; };
    bool wallpaper = false;
    rig.cycle.hooks.automatic_wallpaper = [&] { wallpaper = true; };
    rig.cycle.watch_tick(1800000);
    EXPECT_EQ(rig.host_calls().front(), "status: Stats last updated @:...");
    EXPECT_EQ(rig.state.last_update, "0000");
    EXPECT_TRUE(wallpaper);
  }
}

TEST(Retrieval, ReportWindowTakesTheTransferTexts) {
  RetrievalRig rig;
  Calls report;
  rig.cycle.hooks.report_status = [&](const std::string& text) { report.push_back(text); };
  rig.cycle.report_kind = "w";
  rig.cast.answers["http://nws.test/w.txt"] = {{"abcdefghijkl"}};
  HttpRequest request;
  request.url = "http://nws.test/w.txt";
  rig.cast.get(request, rig.cycle.ipwHTTP4cast_events());
  EXPECT_EQ(report, (Calls{"Sending request...", "12 of 12 bytes transferred...", "Transfer complete..."}));
  EXPECT_EQ(rig.cycle.report_page(), "abcdefghijkl");
  // A one-character size counts as unknown.
  rig.cast.answers["http://nws.test/w.txt"] = {{"abc"}};
  report.clear();
  rig.cast.get(request, rig.cycle.ipwHTTP4cast_events());
  EXPECT_EQ(report[1], "3 bytes transferred...");
}

TEST(LastUpdateText, TwelveHourClock) {
  struct Row {
    int hour, minute;
    const char* text;
  };
  for (const Row& row : {Row{0, 5, "1205 a"}, Row{9, 30, "0930 a"}, Row{12, 0, "1200 p"}, Row{23, 59, "1159 p"}}) {
    LocalDateTime t;
    t.hour = row.hour;
    t.minute = row.minute;
    EXPECT_EQ(last_update_text(t), row.text);
  }
}

}  // namespace
}  // namespace cirrodex
