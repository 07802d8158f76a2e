#include "platform/qt/window_states.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace cirrodex {
namespace {

// _NET_WM_STATE client message actions and source indication (EWMH).
constexpr uint32_t kRemove = 0;
constexpr uint32_t kAdd = 1;
constexpr uint32_t kFromApplication = 1;
constexpr uint32_t kWithdrawnState = 0;  // ICCCM WM_STATE

struct Atoms {
  xcb_atom_t wm_state = XCB_ATOM_NONE;
  xcb_atom_t net_wm_state = XCB_ATOM_NONE;
  xcb_atom_t skip_taskbar = XCB_ATOM_NONE;
  xcb_atom_t above = XCB_ATOM_NONE;
};

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

// The native window of a top-level widget on X11, with the atoms to use on it.
struct Target {
  xcb_connection_t* connection;
  const Atoms* atoms;
  xcb_window_t window;
};

struct Snapshot {
  bool managed = false;  // the window manager has the window (normal or iconic)
  std::vector<xcb_atom_t> states;
};

bool has_no_window_system() {
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

xcb_connection_t* x11_connection() {
  if (!qGuiApp) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

// Interned once per connection, all in one round trip.
const Atoms* atoms_for(xcb_connection_t* connection) {
  static xcb_connection_t* interned_for = nullptr;
  static Atoms atoms;
  if (interned_for == connection) return &atoms;

  static constexpr std::array<const char*, 4> kNames = {"WM_STATE", "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                                        "_NET_WM_STATE_ABOVE"};
  std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(kNames[i])), kNames[i]);
  }
  std::array<xcb_atom_t, kNames.size()> found{};
  bool complete = true;
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
    if (reply) found[i] = reply->atom;
    complete = complete && reply;
  }
  if (!complete) return nullptr;
  atoms = Atoms{found[0], found[1], found[2], found[3]};
  interned_for = connection;
  return &atoms;
}

std::optional<Target> x11_target(QWidget* window, bool create) {
  if (!window || !window->isWindow()) return std::nullopt;
  xcb_connection_t* connection = x11_connection();
  if (!connection) return std::nullopt;
  const Atoms* atoms = atoms_for(connection);
  if (!atoms) return std::nullopt;
  if (create) window->winId();  // creates the native window, unmapped, if there is none
  // The QWindow's id, not QWidget::internalWinId(): after QWidget::setWindowFlags
  // has recreated a shown window, the widget keeps reporting the destroyed one.
  const QWindow* handle = window->windowHandle();
  if (!handle || !handle->handle()) return std::nullopt;
  return Target{connection, atoms, static_cast<xcb_window_t>(handle->winId())};
}

bool contains(const std::vector<xcb_atom_t>& states, xcb_atom_t state) {
  return std::find(states.begin(), states.end(), state) != states.end();
}

// Both properties in one round trip: this runs on every repaint.
Snapshot read_snapshot(const Target& t) {
  const auto states_cookie = xcb_get_property(t.connection, 0, t.window, t.atoms->net_wm_state, XCB_ATOM_ATOM, 0, 64);
  const auto wm_cookie = xcb_get_property(t.connection, 0, t.window, t.atoms->wm_state, t.atoms->wm_state, 0, 1);
  Snapshot snapshot;
  const Reply<xcb_get_property_reply_t> states(xcb_get_property_reply(t.connection, states_cookie, nullptr));
  if (states && states->type == XCB_ATOM_ATOM && states->format == 32) {
    const auto* value = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
    snapshot.states.assign(value, value + states->value_len);
  }
  const Reply<xcb_get_property_reply_t> wm(xcb_get_property_reply(t.connection, wm_cookie, nullptr));
  if (wm && wm->type == t.atoms->wm_state && wm->format == 32 && wm->value_len >= 1) {
    snapshot.managed = *static_cast<const uint32_t*>(xcb_get_property_value(wm.get())) != kWithdrawnState;
  }
  return snapshot;
}

// Asks the window manager to change one state of a window it manages.
void send_state(const Target& t, xcb_atom_t state, bool on) {
  const Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(t.connection, xcb_get_geometry(t.connection, t.window), nullptr));
  if (!geometry) return;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = t.window;
  event.type = t.atoms->net_wm_state;
  event.data.data32[0] = on ? kAdd : kRemove;
  event.data.data32[1] = state;
  event.data.data32[2] = XCB_ATOM_NONE;
  event.data.data32[3] = kFromApplication;
  xcb_send_event(t.connection, 0, geometry->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(t.connection);
}

// For a window the window manager does not have yet: it reads the property when it maps the window.
void write_states(const Target& t, const std::vector<xcb_atom_t>& states) {
  if (states.empty()) {
    xcb_delete_property(t.connection, t.window, t.atoms->net_wm_state);
  } else {
    xcb_change_property(t.connection, XCB_PROP_MODE_REPLACE, t.window, t.atoms->net_wm_state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
  }
  xcb_flush(t.connection);
}

bool has_state(QWidget* window, xcb_atom_t Atoms::*state) {
  const auto target = x11_target(window, false);
  return target && contains(read_snapshot(*target).states, target->atoms->*state);
}

}  // namespace

bool set_skip_taskbar(QWidget* window, bool on) {
  const auto target = x11_target(window, true);
  if (!target) return false;
  const xcb_atom_t skip = target->atoms->skip_taskbar;
  Snapshot snapshot = read_snapshot(*target);
  if (contains(snapshot.states, skip) == on) return true;
  if (snapshot.managed) {
    send_state(*target, skip, on);
    return true;
  }
  auto& states = snapshot.states;
  if (on) {
    states.push_back(skip);
  } else {
    states.erase(std::remove(states.begin(), states.end(), skip), states.end());
  }
  write_states(*target, states);
  // Shown but not taken by the window manager yet: it may have read the
  // property before this write, and then it acts on the message instead.
  if (window->windowHandle()->isVisible()) send_state(*target, skip, on);
  return true;
}

bool set_stays_on_top(QWidget* window, bool on) {
  if (!window || !window->isWindow() || has_no_window_system()) return false;
  constexpr auto kHint = Qt::WindowStaysOnTopHint;
  QWindow* handle = window->windowHandle();
  if (!handle) {
    // No native window yet, so nothing on screen to disturb.
    window->setWindowFlag(kHint, on);
    return true;
  }
  const bool changed = handle->flags().testFlag(kHint) != on || window->windowFlags().testFlag(kHint) != on;
  // QWidget::setWindowFlag would hide a shown window and replace its native
  // window with a new one, which loses the task-bar state. The native window
  // takes the hint while mapped; the widget's flags only have to agree so that
  // Qt keeps the hint when it maps the window again.
  handle->setFlag(kHint, on);
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(kHint, on);
  window->overrideWindowFlags(flags);
  if (changed) return true;

  // The flags were already right, but the state may not be: the user can
  // change it from the window manager's menu.
  if (const auto target = x11_target(window, false)) {
    const Snapshot snapshot = read_snapshot(*target);
    if (snapshot.managed && contains(snapshot.states, target->atoms->above) != on) {
      send_state(*target, target->atoms->above, on);
    }
  }
  return true;
}

bool skip_taskbar_state(QWidget* window) { return has_state(window, &Atoms::skip_taskbar); }

bool stays_on_top_state(QWidget* window) { return has_state(window, &Atoms::above); }

}  // namespace cirrodex
