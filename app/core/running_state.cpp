#include "app/core/running_state.h"

#include <limits>

#include "platform/text.h"

namespace cirrodex {

void read_connection_timeout(Settings& settings, Host& host, RunningState& state) {
  const std::string value = settings.get("Timeout");
  const auto ms = text::to_integer(value == kMissing ? std::string("240000") : value);
  if (!ms || *ms < 0 || *ms > std::numeric_limits<int>::max()) {
    host.beep();
    return;
  }
  state.connection_timeout_ms = static_cast<int>(*ms);
}

void read_running_flags(Settings& settings, RunningState& state) {
  state.data_source = settings.get("Datasource") == "2" ? "2" : "1";
  state.dialup = settings.flag("dialupconn") ? "y" : "";
  state.connected = settings.flag("connected") ? "y" : "";
  state.quiet_watch = settings.flag("quietwatch") ? "y" : "";
}

}  // namespace cirrodex
