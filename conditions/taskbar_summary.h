#pragma once
// The one-line summary for the task-bar companion: written to a file that
// panel tools can read, and handed to a running companion over a local
// socket. Nobody listening is the normal case and shows nothing.

#include <chrono>
#include <string>
#include <string_view>

#include "conditions/readings.h"
#include "platform/display.h"

namespace cirrodex {

// caption - Conditions - Temperature / Humidity: Humidity - Wind: Wind
// (Latin-1, like the readings).
std::string taskbar_summary(std::string_view caption, const Readings& r);

struct TaskbarTargets {
  std::string summary_file;  // empty: no folder to write into
  std::string socket_path;   // empty: no companion can be reached
};

// $XDG_RUNTIME_DIR/cirrodex/taskbar-summary.txt and
// $XDG_RUNTIME_DIR/cirrodex-taskbar.socket. Without a runtime folder the
// file goes to $XDG_CACHE_HOME/cirrodex (or ~/.cache/cirrodex) and there is
// no socket. Relative folder variables are ignored.
TaskbarTargets taskbar_targets();

struct TaskbarDelivery {
  bool written = false;    // the file now holds the summary
  bool delivered = false;  // a companion took the whole line
};

// How long a companion may keep the UI thread waiting.
inline constexpr std::chrono::milliseconds kCompanionWait{200};

// The summary as UTF-8, line breaks inside it made blanks, plus "\n": written
// atomically (a temporary file renamed over the old one; folders made 0700),
// then sent to whoever listens on the socket, waiting at most `wait` for the
// connection and the write. Failures are not reported.
TaskbarDelivery deliver_taskbar_summary(std::string_view summary, const TaskbarTargets& targets,
                                        std::chrono::milliseconds wait = kCompanionWait);

// The summary of the readings under the main window's caption, delivered to
// taskbar_targets(). Called after every successful retrieval and once, two
// seconds after the companion is started from the menu.
TaskbarDelivery send_taskbar_summary(const Display& display, const Readings& r);

}  // namespace cirrodex
