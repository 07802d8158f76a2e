#pragma once
// Where the main window goes at its first show, and what its exit saves.

#include <string>

#include "platform/settings.h"

namespace cirrodex {

struct WindowPoint {
  int left = 0;
  int top = 0;
  bool operator==(const WindowPoint&) const = default;
};

// Xpos and then Ypos, each taken as a whole number; the first value that is
// not a number ends the placing there (so Xpos without Ypos moves only
// Left). Without Xpos the window goes to the bottom-right corner.
WindowPoint first_show_position(Settings& settings, WindowPoint current, int screen_width, int screen_height,
                                int window_width, int window_height);

// The exit's writes: Xpos, Ypos, width and height.
void save_window_geometry(Settings& settings, int left, int top, int width, int height);

}  // namespace cirrodex
