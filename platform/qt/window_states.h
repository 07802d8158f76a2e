#pragma once
// Window-manager states of a top-level window that Qt has no flag for (the
// task-bar button) or sets only with a flicker (stay on top).
//
// On X11 these are the EWMH _NET_WM_STATE atoms, asked of the window manager.
// Elsewhere there is no portable way: Wayland has no protocol for either, and
// the offscreen and minimal platforms have no window system. There the
// functions return false and change nothing; the caller does not retry.
//
// The window manager drops _NET_WM_STATE when hide() withdraws the window, and
// Qt maps it again with only the states its own flags give, so after hide() +
// show() the task-bar state is gone. Call set_skip_taskbar again after showing
// (or while hidden); a call that finds the state applied sends nothing.

class QWidget;

namespace cirrodex {

// Hides (on) or shows the window's task-bar button. A window that is not on
// screen yet gets the state written for the window manager to read when it
// maps it; it creates the native window if needed. False when the platform is
// not X11 or `window` is not a top-level window.
bool set_skip_taskbar(QWidget* window, bool on);

// Keeps the window above others, without hiding or moving it. Sets
// Qt::WindowStaysOnTopHint on the widget and on its native window. False on
// the offscreen and minimal platforms or for a widget that is not a window;
// on Wayland the flag is set but the compositor may well ignore it.
bool set_stays_on_top(QWidget* window, bool on);

// What the window manager reports for the window now (_NET_WM_STATE). False
// when the platform is not X11 or the window has no native window yet.
bool skip_taskbar_state(QWidget* window);
bool stays_on_top_state(QWidget* window);

}  // namespace cirrodex
