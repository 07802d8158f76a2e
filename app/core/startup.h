#pragma once
// Start-up: the order in which the windows are created behind the splash
// gauge, and the start-up timer that waits for them before the tip of the
// day and the first retrieval. Plain C++ over small ports, so the order and
// the timer's retries can be checked without a window.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"
#include "platform/settings.h"

namespace cirrodex {

struct GaugeStep {
  int percent = 0;
  // Repaint the gauge at once instead of waiting for the event loop, so it
  // moves while the next windows are still being built.
  bool paint_now = true;
};

// Windows created one after the other, then the gauge values set after them.
struct CreationGroup {
  std::vector<std::string_view> windows;
  std::vector<GaugeStep> gauge;
};
using CreationTable = std::vector<CreationGroup>;

// The program's creation order after the main window and the splash.
const CreationTable& creation_table();

// Creates every window of the table in order and sets the gauge after each
// group. create returns false for a window the program does not have (yet);
// the order goes on without it. Returns the names create refused, in order.
std::vector<std::string> run_creation(const CreationTable& table,
                                      const std::function<bool(std::string_view window)>& create,
                                      const std::function<void(int percent, bool paint_now)>& gauge);

// Whether the tip of the day opens at start-up for a ShowTips value: on when
// the user said "y" and on a first run (missing); "n" and anything else off.
bool tip_at_startup(std::string_view show_tips);

// The tip window's show-at-start-up box as the splash sets it: off only for "n".
bool tip_box_from_setting(std::string_view show_tips);

// What the start-up timer's tick needs from the main window.
class StartupPorts {
 public:
  virtual ~StartupPorts() = default;
  // minimize_logic, then the tray icon's shown state to hidden.
  virtual void minimize_to_tray() = 0;
  virtual void set_startup_timer_enabled(bool enabled) = 0;
  virtual int gauge_percent() = 0;
  virtual void show_tip_of_the_day() = 0;
  virtual void run_startup_retrieval() = 0;
};

enum class StartupTick {
  Waiting,  // the windows are not all created: the timer runs again
  Done,     // tip and retrieval launched; the timer stays off
};

// One tick of the start-up timer.
StartupTick startup_tick(Settings& settings, StartupPorts& ports);

// The start-up timer's interval: PauseTime, else 4000; a value that is not
// a positive number beeps and gives 4000.
int startup_timer_interval(Settings& settings, Host& host);

// The warning cycle's interval from WarningCycle minutes (below 5 counts as
// 30); missing keeps current, a value that is not a number beeps, says so
// for 2 seconds and keeps current.
int warning_cycle_interval(Settings& settings, Host& host, int current_ms);

struct WallpaperCycle {
  bool enabled = false;
  int interval_ms = 14400000;
};
// The wallpaper timer: off unless AutoWallpaper names a picture (5
// characters or more); WallpaperCycle minutes, 25 when missing, at least 5.
// A value that is not a number beeps, says so for 2 seconds and keeps the
// timer as it was.
WallpaperCycle wallpaper_cycle(Settings& settings, Host& host, WallpaperCycle current);

}  // namespace cirrodex
