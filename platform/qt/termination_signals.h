#pragma once
// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C in a terminal)
// turned into a call on the event loop, so the program ends the way closing
// its window ends it: position saved, child processes ended.

#include <functional>

namespace cirrodex {

// Installs the handlers; on_signal runs on the UI thread, once per signal.
void on_termination_signals(std::function<void()> on_signal);

}  // namespace cirrodex
