// The retrieval cycle through the fakes: addresses, the download's status
// texts, what follows a reading, the automatic operations, the refresh and
// watch ticks, re-entry and abort.
#include "app/core/retrieval.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <stdexcept>

#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_http.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::read_fixture;
using Calls = std::vector<std::string>;

const char* kServices = "conditions = http://wx.test\nusage_counter = http://maker.test\n";

struct RetrievalRig : testing::ParserRig {
  fakes::FakeClock clock;
  Services services{kServices};
  fakes::FakeHttpTransfer ipw{log, "ipwHTTP1"}, cast{log, "ipwHTTP4cast"}, ick{log, "ickHTTP1"};
  RunningState state;
  RetrievalCycle cycle{settings, host, display, clock, services, {ipw, cast, ick}, parser, presets, ctx, state};

  RetrievalRig() {
    clock.set_time(14, 30);
    ipw.script_body("http://maker.test/assets/CirrodexCount.txt", "1");
  }
  // The page, in three pieces.
  void serve(const std::string& url, const std::string& body) {
    ipw.script_body(url, body, 3);
    ick.script_body(url, body, 3);
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
  rig.cycle.hooks.derive_readings = step("derive");
  rig.cycle.hooks.draw_moon = step("moon");
  rig.cycle.hooks.send_taskbar_summary = step("summary");
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats(true);

  EXPECT_EQ(rig.gets(), (Calls{"ipwHTTP1 get: http://maker.test/assets/CirrodexCount.txt",
                               "ipwHTTP1 get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"}));
  const HttpRequest& request = rig.ipw.requests().back();
  EXPECT_EQ(request.referer, "Cirrodex_by_Velmoraworks");
  EXPECT_EQ(request.user_agent, "Cirrodex HTTP Control");
  EXPECT_EQ(request.timeout_ms, 240000);
  EXPECT_EQ(steps, (Calls{"derive", "moon", "summary"}));
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
    fakes::FakeHttpTransfer::Reply no_end;
    no_end.pieces = {"<html>"};
    no_end.end = false;
    rig.ipw.script("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", no_end);
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

TEST(Retrieval, AfterTheMoonTheIconsThenTheSpokenTemperatureThenTheSummary) {
  struct Case {
    const char* soundtemp;  // nullptr: not set
    bool icons_fail;
    bool received;  // false: the transfer never ended
    Calls steps;
  };
  const Case cases[] = {
      {nullptr, false, true, {"moon", "icons", "summary"}},
      {"n", false, true, {"moon", "icons", "summary"}},
      {"y", false, true, {"moon", "icons", "speak", "summary"}},
      {"y", true, true, {"moon", "icons", "speak", "summary"}},
      {"y", false, false, {"moon", "icons", "speak", "summary"}},
  };
  for (const Case& c : cases) {
    RetrievalRig rig;
    if (c.soundtemp) rig.settings.set("soundtemp", c.soundtemp);
    if (c.received) {
      rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
    } else {
      fakes::FakeHttpTransfer::Reply no_end;
      no_end.pieces = {"<html>"};
      no_end.end = false;
      rig.ipw.script("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", no_end);
    }
    Calls steps;
    auto step = [&](const char* name) { return [&steps, name] { steps.emplace_back(name); }; };
    rig.cycle.hooks.draw_moon = step("moon");
    rig.cycle.hooks.make_icons = [&, fail = c.icons_fail] {
      steps.emplace_back("icons");
      if (fail) throw std::runtime_error("no icon");
    };
    rig.cycle.hooks.speak_temperature = step("speak");
    rig.cycle.hooks.send_taskbar_summary = step("summary");
    rig.ctx.requested = "Tuscaloosa, AL";
    rig.cycle.Get_the_Stats();
    const std::string name = std::string(c.soundtemp ? c.soundtemp : "-") + (c.icons_fail ? " failing" : "") +
                             (c.received ? "" : " not received");
    EXPECT_EQ(steps, c.steps) << name;
    // A failure that escapes the icons is the cycle's to report, after the
    // closing text; the cycle goes on.
    const Calls host = rig.host_calls();
    // (The parser shows the closing text too: the cycle's is the last.)
    const auto thanks = std::find(host.rbegin(), host.rend(), "status: Thank you for using Cirrodex...");
    ASSERT_NE(thanks, host.rend()) << name;
    const Calls after(thanks.base(), host.end());
    if (c.icons_fail)
      EXPECT_EQ(after, (Calls{"beep", "status: Error processing temp. icons.", "pause: 2500"})) << name;
    else
      EXPECT_TRUE(after.empty()) << name;
  }
}

TEST(Retrieval, AnExitDuringTheIconsEndsTheRest) {
  RetrievalRig rig;
  rig.settings.set("soundtemp", "y");
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  Calls steps;
  // The icons' failure pause runs the event loop, where the exit can come.
  rig.cycle.hooks.make_icons = [&] {
    steps.emplace_back("icons");
    rig.cycle.close();
  };
  rig.cycle.hooks.speak_temperature = [&] { steps.emplace_back("speak"); };
  rig.cycle.hooks.send_taskbar_summary = [&] { steps.emplace_back("summary"); };
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  EXPECT_EQ(steps, Calls{"icons"});
  EXPECT_TRUE(rig.cycle.closed());
}

TEST(Retrieval, TheSystemProxyPathTranslatesItsPhases) {
  RetrievalRig rig;
  rig.settings.set("AutoProxy", "y");
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  ASSERT_EQ(rig.ick.requests().size(), 1u);
  EXPECT_EQ(rig.ick.requests()[0].referer, "");
  EXPECT_EQ(rig.ick.requests()[0].user_agent, "Cirrodex ickHTTP Control");
  EXPECT_EQ(rig.ick.requests()[0].proxy.mode, ProxySettings::Mode::System);
  EXPECT_EQ(rig.display.caption(), "Cirrodex - Tuscaloosa, AL");

  rig.log.clear();
  rig.settings.set("ProxyUse", "y");
  rig.settings.set("Proxy", "proxy.lan");
  rig.settings.set("ProxyPort", "3128");
  rig.settings.set("ProxyUserid", "me");
  rig.ctx.requested = "Tuscaloosa, AL";
  rig.cycle.Get_the_Stats();
  const ProxySettings& proxy = rig.ick.requests().back().proxy;
  EXPECT_EQ(proxy.mode, ProxySettings::Mode::Manual);
  EXPECT_EQ(proxy.host, "proxy.lan:3128");
  EXPECT_EQ(proxy.user, "me");
  EXPECT_EQ(proxy.password, "");
}

TEST(Retrieval, TheLogFollowsAReadingTheAlarmFollowsEveryTransfer) {
  struct Row {
    const char* name;
    bool reading;  // the transfer ended with its end event
    const char* writelog;
    const char* alarm_type;
    Calls steps;
  };
  const Row rows[] = {
      {"both on", true, "y", "email", {"derive", "log", "moon", "alarm", "summary"}},
      {"no end of transfer: no reading to log, the alarm still runs",
       false,
       "y",
       "audible",
       {"moon", "alarm", "summary"}},
      {"log off, alarm none", true, "n", "none", {"derive", "moon", "summary"}},
      {"alarm missing", true, "", "", {"derive", "moon", "summary"}},
      {"any other alarm type reaches the check", true, "Y", "beep", {"derive", "moon", "alarm", "summary"}},
  };
  for (const Row& row : rows) {
    RetrievalRig rig;
    if (*row.writelog) rig.settings.set("writelog", row.writelog);
    if (*row.alarm_type) rig.settings.set("AlarmType", row.alarm_type);
    fakes::FakeHttpTransfer::Reply reply;
    reply.pieces = {read_fixture("conditions_page.html")};
    reply.end = row.reading;
    rig.ipw.script("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", reply);
    Calls steps;
    auto step = [&](const char* name) { return [&steps, name] { steps.emplace_back(name); }; };
    rig.cycle.hooks.derive_readings = step("derive");
    rig.cycle.hooks.write_log_record = step("log");
    rig.cycle.hooks.draw_moon = step("moon");
    rig.cycle.hooks.check_temperature_alarm = step("alarm");
    rig.cycle.hooks.send_taskbar_summary = step("summary");
    rig.ctx.requested = "Tuscaloosa, AL";
    rig.cycle.Get_the_Stats();
    EXPECT_EQ(steps, row.steps) << row.name;
    const Calls around_log = {"status: Writing data to log file...", "status: Log file updated...", "pause: 500"};
    const Calls calls = rig.host_calls();
    const bool logged = std::search(calls.begin(), calls.end(), around_log.begin(), around_log.end()) != calls.end();
    EXPECT_EQ(logged, row.steps.size() > 1 && row.steps[1] == "log") << row.name;
  }
}

TEST(Retrieval, StatusPhasesOfTheSystemProxyComponent) {
  RetrievalRig rig;
  fakes::FakeHttpTransfer::Reply refused;
  refused.statuses = {"Reading headers"};
  refused.error = "refused";
  refused.error_code = 7;
  rig.ick.script("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", refused);
  rig.settings.set("AutoProxy", "y");
  rig.ctx.requested = "Tuscaloosa, AL";
  EXPECT_THROW(rig.cycle.Get_the_Stats(), TransferError);  // reaches the general error report
  const Calls calls = rig.host_calls();
  const Calls expected = {"status: Starting transfer...",
                          "status: Looking up IP address...",
                          "status: Connecting...",
                          "status: Waiting for server response...",
                          "status: Received response...",
                          "status: Reading headers",
                          "beep",
                          "status: Data transfer error...",
                          "pause: 2500"};
  ASSERT_GE(calls.size(), expected.size());
  EXPECT_EQ((Calls{calls.end() - static_cast<std::ptrdiff_t>(expected.size()), calls.end()}), expected);
}

TEST(Retrieval, NothingStartsInsideARunningRetrievalAndAbortEndsIt) {
  RetrievalRig rig;
  rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
  rig.settings.set("AutoUpdate", "y");
  rig.display.set_caption("Cirrodex - Muscle_Shoals, AL");
  int nested = 0;
  rig.ipw.after_piece = [&](std::size_t) {
    if (rig.ipw.requests().back().url.find("wx.test") == std::string::npos || nested++ > 0) return;
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

TEST(Retrieval, ATickSkippedDuringARetrievalStillSetsTheInterval) {
  // The start-up retrieval runs when the refresh timer's first tick comes:
  // that tick fetches nothing, but the timer must not stay at 4 seconds,
  // or its next tick fetches the same place again.
  for (const char* freq : {"n/a", "12000000"}) {
    RetrievalRig rig;
    rig.settings.set("AutoUpdate", "y");
    if (std::string(freq) != "n/a") rig.settings.set("FreqCond", freq);
    rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
    int during = 0;
    rig.ipw.after_piece = [&](std::size_t piece) {
      if (piece == 0 && rig.ipw.requests().back().url.find("wx.test") != std::string::npos)
        during = rig.cycle.refresh_tick(4000);
    };
    rig.cycle.do_startup_stuff("Tuscaloosa, AL");
    EXPECT_EQ(during, std::string(freq) == "n/a" ? 1800000 : 12000000) << freq;
    EXPECT_EQ(rig.gets().size(), 2u) << "counter and one conditions request";
  }
}

TEST(Retrieval, ClosingInTheMiddleOfADownloadEndsItQuietlyOnBothPaths) {
  for (const char* auto_proxy : {"", "y"}) {
    RetrievalRig rig;
    rig.settings.set("AutoProxy", auto_proxy);
    rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
    bool draw = false;
    rig.cycle.hooks.draw_moon = [&] { draw = true; };
    fakes::FakeHttpTransfer& path = *auto_proxy ? rig.ick : rig.ipw;
    std::size_t calls_at_close = 0;
    path.after_piece = [&](std::size_t piece) {
      if (piece != 0 || path.requests().back().url.find("wx.test") == std::string::npos) return;
      rig.cycle.close();  // the exit command, run by the download's event loop
      calls_at_close = rig.log.entries.size();
    };
    rig.ctx.requested = "Tuscaloosa, AL";
    EXPECT_NO_THROW(rig.cycle.Get_the_Stats()) << "path " << auto_proxy;
    EXPECT_EQ(rig.log.entries.size(), calls_at_close) << "nothing shown, paused or parsed after the close";
    EXPECT_FALSE(draw);
    EXPECT_EQ(rig.display.caption(), "Cirrodex");
    EXPECT_FALSE(rig.cycle.running());
    // Nothing starts afterwards: not a tick, not a preset.
    rig.settings.set("AutoUpdate", "y");
    rig.display.set_caption("Cirrodex - Tuscaloosa, AL");
    rig.cycle.refresh_tick(4000);
    rig.ctx.requested = "Tuscaloosa, AL";
    rig.cycle.Get_the_Stats(true);
    EXPECT_EQ(rig.gets().size(), 2u);
  }
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
    rig.ipw.after_piece = [&](std::size_t) { automatic_during_get = rig.state.automatic_fetch == "y"; };
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
    rig.settings.set("AutoUpdate", "y");
    rig.settings.set("StartupLoc", "Tuscaloosa, AL");
    rig.serve("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", read_fixture("conditions_page.html"));
    rig.cycle.watch_tick(1800000);
    EXPECT_EQ(rig.host_calls().front(), "status: Stats last updated @:...");
    EXPECT_EQ(rig.gets().back(), "ipwHTTP1 get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html");
    EXPECT_EQ(rig.display.caption(), "Cirrodex - Tuscaloosa, AL");
  }
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
