// Start-up: the windows' creation order behind the gauge, the start-up
// timer's wait for the gauge, which ShowTips values open the tip, and the
// tips' exact texts.
#include "app/core/startup.h"
#include "app/core/running_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/core/tips.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Trace = std::vector<std::string>;

// Runs the real table against a factory that knows every window but `absent`.
Trace create_all(const std::set<std::string_view>& absent, std::vector<std::string>* refused = nullptr) {
  Trace trace;
  auto result = run_creation(
      creation_table(),
      [&](std::string_view window) {
        if (absent.count(window)) return false;
        trace.emplace_back(window);
        return true;
      },
      [&](int percent, bool paint_now) {
        trace.push_back("gauge " + std::to_string(percent) + (paint_now ? " now" : " later"));
      });
  if (refused) *refused = result;
  return trace;
}

TEST(CreationOrder, CreatesEveryWindowInOrderWithTheGaugeAfterEachGroup) {
  const Trace expected = {"TfrmWallpaper",    "gauge 5 now",      "Tfrm_more",    "TfrmMoon",       "gauge 10 now",
                          "TfrmForecastSimp", "TSelectState_dlg", "gauge 20 now", "TDlgAddUserCam", "gauge 30 now",
                          "TfrmCustomWU",     "gauge 32 now",     "TfrmForecast", "gauge 35 now",   "TfrmConnectPref",
                          "gauge 40 later",   "TfrmImage",        "gauge 45 now", "gauge 50 now",   "TfrmDlgSavingFile",
                          "gauge 55 now",     "TfrmAbout",        "gauge 60 now", "TfrmPref",       "gauge 70 now",
                          "TfrmUserRadar",    "gauge 85 now",     "gauge 90 now", "TfrmCal",        "TfrmSupport",
                          "gauge 100 now"};
  std::vector<std::string> refused;
  EXPECT_EQ(create_all({}, &refused), expected);
  EXPECT_TRUE(refused.empty());
}

TEST(CreationOrder, AbsentWindowsAreSkippedButTheirGaugeValuesStillShow) {
  std::vector<std::string> refused;
  const Trace trace = create_all({"TfrmMoon", "TfrmImage", "TfrmSupport"}, &refused);
  EXPECT_EQ(refused, (std::vector<std::string>{"TfrmMoon", "TfrmImage", "TfrmSupport"}));
  const Trace expected_head = {"TfrmWallpaper", "gauge 5 now", "Tfrm_more", "gauge 10 now"};
  ASSERT_GE(trace.size(), expected_head.size());
  EXPECT_EQ(Trace(trace.begin(), trace.begin() + 4), expected_head);
  // The image window's two values follow the connection preferences directly.
  const auto at = std::find(trace.begin(), trace.end(), "gauge 40 later");
  ASSERT_NE(at, trace.end());
  EXPECT_EQ(Trace(at, at + 3), (Trace{"gauge 40 later", "gauge 45 now", "gauge 50 now"}));
  EXPECT_EQ(Trace(trace.end() - 2, trace.end()), (Trace{"TfrmCal", "gauge 100 now"}));
}

// Records the timer's calls; the gauge reads the values queued, the last one repeating.
class FakeStartupPorts final : public StartupPorts {
 public:
  explicit FakeStartupPorts(fakes::CallLog& log) : log_(log) {}
  void minimize_to_tray() override { log_.add("minimize"); }
  void set_startup_timer_enabled(bool enabled) override { log_.add(enabled ? "timer on" : "timer off"); }
  int gauge_percent() override {
    const int value = gauge_.front();
    if (gauge_.size() > 1) gauge_.erase(gauge_.begin());
    return value;
  }
  void show_tip_of_the_day() override { log_.add("tip"); }
  void run_startup_retrieval() override { log_.add("retrieval"); }
  std::vector<int> gauge_ = {100};

 private:
  fakes::CallLog& log_;
};

class StartupTimerTest : public ::testing::Test {
 protected:
  void set(std::string_view key, std::string_view value) { settings_.set(key, value); }
  // Ticks until the timer is done (at most ten times), as the timer would.
  int run() {
    for (int ticks = 1; ticks <= 10; ++ticks)
      if (startup_tick(settings_, ports_) == StartupTick::Done) return ticks;
    return -1;
  }
  fakes::CallLog log_;
  fakes::MemorySettingsStore store_;
  fakes::FakeHost host_{log_};
  Settings settings_{store_, host_, KeyCheck::Strict};
  FakeStartupPorts ports_{log_};
};

TEST_F(StartupTimerTest, WaitsWhileTheGaugeShows96OrLessAndStartsOverEachTick) {
  set("StartMinimized", "y");
  set("ShowTips", "n");
  ports_.gauge_ = {50, 96, 97};
  log_.clear();
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(log_.entries, (Trace{"minimize", "timer off", "timer on",  //
                                 "minimize", "timer off", "timer on",  //
                                 "minimize", "timer off", "retrieval"}));
}

TEST_F(StartupTimerTest, ShowTipsValuesThatOpenTheTip) {
  struct Case {
    const char* show_tips;  // nullptr: missing
    bool tip;
  };
  for (const Case c :
       {Case{"y", true}, Case{nullptr, true}, Case{"n/a", true}, Case{"n", false}, Case{"Y", false}, Case{"", false}}) {
    SCOPED_TRACE(c.show_tips ? c.show_tips : "(missing)");
    store_ = fakes::MemorySettingsStore();
    if (c.show_tips) set("ShowTips", c.show_tips);
    log_.clear();
    EXPECT_EQ(run(), 1);
    const Trace expected = c.tip ? Trace{"timer off", "tip", "retrieval"} : Trace{"timer off", "retrieval"};
    EXPECT_EQ(log_.entries, expected);
    EXPECT_EQ(tip_at_startup(c.show_tips ? c.show_tips : kMissing), c.tip);
  }
}

TEST(TipBox, OffOnlyForN) {
  for (const auto& [value, on] : std::vector<std::pair<std::string_view, bool>>{
           {"n", false}, {"y", true}, {"n/a", true}, {"N", true}, {"", true}}) {
    EXPECT_EQ(tip_box_from_setting(value), on) << value;
  }
}

TEST(Tips, TextsAreExact) {
  const std::array<std::string_view, 8> expected = {
      "If you're a first time user, please view the help file (under Help menu) for tips and getting started "
      "information.",
      "Did you know Cirrodex can update your wallpaper with your favorite satellite/radar (or any web) image?  See "
      "Options->Preferences->General Preferences for options.",
      "Don't like the Cirrodex window?  You can change the look!  Cirrodex now supports Skins!  Visit the "
      "Options->Skins.",
      "Cirrodex has a neat Task Bar feature that allows you to have a separate Cirrodex task bar on your desktop.  "
      "See Options->View Task Bar.",
      "Cirrodex can automatically warn you about weather warnings!  See the Options->Preferences->General "
      "Preferences.",
      "Cirrodex can create a log file for you - saving all stats to a log file - which you can view in a movable "
      "chart!  See Options->Preferences->General Preferences.",
      "You can view your daily weather logs in chart format - just visit Reports->Daily Charts menu. ",
      "To make sure you have the latest version of Cirrodex, click the \"Check for Update\" option under the "
      "Help menu.",
  };
  EXPECT_EQ(kTips, expected);
  EXPECT_EQ(kTips[6].back(), ' ');
  EXPECT_EQ(kTipCaption, "Cirrodex Tip-of-the-Day");
  EXPECT_EQ(kTipHeading, "Did you know...");
}

}  // namespace
}  // namespace cirrodex

namespace cirrodex {
namespace {

class FirstShowValuesTest : public ::testing::Test {
 protected:
  void set(const char* key, const char* value) { settings_.set(key, value); }
  fakes::CallLog log_;
  fakes::FakeHost host_{log_};
  fakes::MemorySettingsStore store_;
  Settings settings_{store_, host_, KeyCheck::Strict};
};

TEST_F(FirstShowValuesTest, TimeoutAndPauseTimeKeepTheirValueOnGarbage) {
  RunningState state;
  state.connection_timeout_ms = 1;
  read_connection_timeout(settings_, host_, state);
  EXPECT_EQ(state.connection_timeout_ms, 240000);  // missing
  set("Timeout", "90000");
  read_connection_timeout(settings_, host_, state);
  EXPECT_EQ(state.connection_timeout_ms, 90000);
  set("Timeout", "soon");
  read_connection_timeout(settings_, host_, state);
  EXPECT_EQ(state.connection_timeout_ms, 90000);
  EXPECT_EQ(log_.with_prefix("beep").size(), 1u);

  log_.clear();
  EXPECT_EQ(startup_timer_interval(settings_, host_), 4000);
  set("PauseTime", "1000");
  EXPECT_EQ(startup_timer_interval(settings_, host_), 1000);
  for (const char* bad : {"x", "0", "-5", "99999999999"}) {
    set("PauseTime", bad);
    EXPECT_EQ(startup_timer_interval(settings_, host_), 4000) << bad;
  }
  EXPECT_EQ(log_.with_prefix("beep").size(), 4u);
}

TEST_F(FirstShowValuesTest, FlagsAreOnOnlyForY) {
  RunningState state;
  read_running_flags(settings_, state);
  EXPECT_EQ(state.data_source, "1");
  EXPECT_EQ(state.dialup + state.connected + state.quiet_watch, "");
  set("Datasource", "2");
  set("dialupconn", "y");
  set("connected", "Y");
  set("quietwatch", "y");
  read_running_flags(settings_, state);
  EXPECT_EQ(state.data_source, "2");
  EXPECT_EQ(state.dialup, "y");
  EXPECT_EQ(state.connected, "");
  EXPECT_EQ(state.quiet_watch, "y");
  set("Datasource", "3");
  read_running_flags(settings_, state);
  EXPECT_EQ(state.data_source, "1");
}

TEST_F(FirstShowValuesTest, WarningAndWallpaperCycles) {
  EXPECT_EQ(warning_cycle_interval(settings_, host_, 100000), 100000);  // missing
  struct Row {
    const char* value;
    int ms;
  };
  for (const Row& row : {Row{"25", 1500000}, Row{"5", 300000}, Row{"4", 1800000}, Row{"0", 1800000}}) {
    set("WarningCycle", row.value);
    EXPECT_EQ(warning_cycle_interval(settings_, host_, 100000), row.ms) << row.value;
  }
  set("WarningCycle", "often");
  log_.clear();
  EXPECT_EQ(warning_cycle_interval(settings_, host_, 100000), 100000);
  EXPECT_EQ(log_.entries, (Trace{"beep", "status: Error setting Warning cycle.", "pause: 2000"}));

  const WallpaperCycle start{};
  EXPECT_FALSE(wallpaper_cycle(settings_, host_, start).enabled);  // no picture chosen
  set("AutoWallpaper", "None");
  EXPECT_FALSE(wallpaper_cycle(settings_, host_, {true, 60000}).enabled);
  set("AutoWallpaper", "http://example.org/radar.gif");
  for (const Row& row : {Row{"30", 1800000}, Row{"2", 300000}}) {
    set("WallpaperCycle", row.value);
    const WallpaperCycle cycle = wallpaper_cycle(settings_, host_, start);
    EXPECT_TRUE(cycle.enabled);
    EXPECT_EQ(cycle.interval_ms, row.ms) << row.value;
  }
  store_.erase_section("Settings");
  set("AutoWallpaper", "http://example.org/radar.gif");
  EXPECT_EQ(wallpaper_cycle(settings_, host_, start).interval_ms, 25 * 60000);
  set("WallpaperCycle", "abc");
  log_.clear();
  const WallpaperCycle kept = wallpaper_cycle(settings_, host_, {true, 123});
  EXPECT_TRUE(kept.enabled);
  EXPECT_EQ(kept.interval_ms, 123);
  EXPECT_EQ(log_.entries, (Trace{"beep", "status: Error setting Wallpaper cycle.", "pause: 2000"}));
}

}  // namespace
}  // namespace cirrodex
