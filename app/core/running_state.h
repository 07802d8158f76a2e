#pragma once
// The main window's running state: what the retrieval, the connection
// handling and the preferences share for the whole run, read from the
// settings when the window is first shown.

#include <string>

#include "platform/host.h"
#include "platform/settings.h"

namespace cirrodex {

// Each item is changed later by the command that owns it.
struct RunningState {
  int connection_timeout_ms = 240000;
  std::string data_source = "1";  // "1" or "2"
  std::string dialup;             // "y" or empty
  std::string connected;          // "y" or empty
  std::string quiet_watch;        // "y" or empty
  std::string last_update;        // "hhnn a/p" of the last retrieval
  std::string automatic_fetch;    // "y" around every automatic retrieval
};

// The time-out from Timeout ("240000" when missing); a value that is not a
// number beeps and leaves the time-out as it was.
void read_connection_timeout(Settings& settings, Host& host, RunningState& state);
// Data source, dial-up, connected and quiet-watch flags.
void read_running_flags(Settings& settings, RunningState& state);

}  // namespace cirrodex
