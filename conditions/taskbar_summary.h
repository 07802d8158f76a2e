#pragma once
// The one-line summary for the task-bar companion, handed to its channel
// after every retrieval.

#include <string>
#include <string_view>

#include "conditions/readings.h"
#include "platform/display.h"
#include "platform/taskbar_channel.h"

namespace cirrodex {

// caption - Conditions - Temperature / Humidity: Humidity - Wind: Wind
// (Latin-1, like the readings).
std::string taskbar_summary(std::string_view caption, const Readings& r);

// The summary of the readings under the main window's caption, delivered to
// the channel. Called after every successful retrieval and once, two
// seconds after the companion is started from the menu.
TaskbarDelivery send_taskbar_summary(const Display& display, const Readings& r, TaskbarChannel& channel);

}  // namespace cirrodex
