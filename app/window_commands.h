#pragma once
// Commands on the main window itself: its task-bar button and stay-on-top
// state, printing its picture or its readings, loading a skin from a file
// dialog, and today's moon picture.

#include <string>

#include "app/main_window.h"
#include "conditions/readings.h"
#include "platform/clock.h"
#include "platform/host.h"
#include "platform/settings.h"
#include "skins/skin_setup.h"

namespace cirrodex {

// "Hide from Task Bar" Yes and No: the window's state, TaskBarHide and the marks.
void set_taskbar_hidden(TForm1& window, Settings& settings, bool hidden);
// After every paint: a TaskBarHide of "y" keeps the button away.
void apply_taskbar_state(TForm1& window, Settings& settings);
// "Stay on Top" Yes and No (not saved: every run starts normal).
void set_stay_on_top(TForm1& window, bool on);
// "Print Stats Window": the print dialog, then the window's picture.
void print_window(TForm1& window, Host& host);
// "Print Stats as Text": the print dialog, then the readings as lines of text.
void print_stats_text(TForm1& window, const Readings& r, Host& host);
// "Load a Skin...": a file dialog over every skin folder.
void load_skin_dialog(TForm1& window, SkinSetup& skins, const std::string& share_dir);
// Today's moon picture on the window; a failure is the moon library's to report.
void draw_moon(TForm1& window, Clock& clock, Host& host, const std::string& support_address);

}  // namespace cirrodex
