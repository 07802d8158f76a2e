#pragma once
// The main notification-area icon while conditions are known: the tip and
// the condition picture chosen from the readings and the local hour.

#include <vector>

#include "app/core/tray_icon.h"
#include "conditions/readings.h"
#include "platform/tray.h"

namespace cirrodex {

// Sets the icon's tip and picture for the readings; the icon updates the
// shell itself. pictures holds the decoded list by index: an index it lacks
// or an empty picture leaves the icon's picture as it is. The parser's
// on_conditions hook is the place to call it.
void show_conditions_on_icon(TCustomOnTray& icon, const std::vector<TrayPicture>& pictures, const Readings& r,
                             int local_hour);

}  // namespace cirrodex
