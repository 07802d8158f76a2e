#pragma once
// The temperature, heat-index and wind-chill icons in the notification area.
// After a reading each wanted icon gets its number picture: with TempIcon "y"
// the temperature goes into the main icon, with "b" into a second icon; the
// heat index and wind chill have icons of their own. The extra icons are made
// on first use and removed when their option is turned off. Drawing is a
// function the program gives (QtGui's painter), so this stays plain C++.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/core/tray_icon.h"
#include "conditions/readings.h"
#include "conditions/temperature_icons.h"
#include "platform/display.h"
#include "platform/host.h"
#include "platform/settings.h"
#include "platform/tray.h"

namespace cirrodex {

// Tray ids of the extra icons (the main icon is 0).
inline constexpr int kTemperatureIconId = 1;
inline constexpr int kHeatIndexIconId = 2;
inline constexpr int kWindChillIconId = 3;

// What a new extra icon starts with: the program's own picture, the
// application title as its tip, the main icon's window hooks and right menu.
struct ExtraIconSetup {
  TrayPicture program_picture;
  std::string title = "Cirrodex";
  TrayOwner owner;
  TrayMenu right_menu;
};

class TemperatureIcons {
 public:
  // Draws a picture; throws when it cannot (a background that is no colour).
  using Painter = std::function<TrayPicture(const IconPicture&)>;
  // The main icon, or null once it is gone (at exit).
  using MainIcon = std::function<TCustomOnTray*()>;

  TemperatureIcons(Tray& shell, Settings& settings, Host& host, Display& display, const Readings& readings,
                   Painter painter, MainIcon main_icon, ExtraIconSetup setup);

  // The icons of one reading, in order (icons_to_draw). A picture that cannot
  // be drawn is reported with its icon's own text and the next icon follows;
  // a failure to hand it over (making an extra icon) leaves that icon not
  // made and escapes to the caller, skipping the icons after it.
  void make_icons();
  // One icon, drawn from the readings as they stand (also what a changed
  // colour in the Preferences redraws).
  void make_icon(IconKind kind);
  // For the Preferences: removes at once each extra icon whose option is no
  // longer on (TempIcon not "b", HindexIcon or WindcIcon not "y").
  void remove_turned_off();
  // The extra icon of a kind; null while it is not made.
  TOnTray* extra(IconKind kind) const;
  // At exit: the extra icons leave the notification area and nothing is
  // drawn or made from then on (a reading may still be unwinding below).
  void close();

 private:
  void hand_over(IconKind kind, const TrayPicture& picture);
  TOnTray& extra_icon(IconKind kind);

  Tray& shell_;
  Settings& settings_;
  Host& host_;
  Display& display_;
  const Readings& readings_;
  Painter painter_;
  MainIcon main_icon_;
  ExtraIconSetup setup_;
  std::array<std::unique_ptr<TOnTray>, 3> extras_;
  bool closed_ = false;
};

}  // namespace cirrodex
