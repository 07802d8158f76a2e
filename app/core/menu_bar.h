#pragma once
// The skin's buttons as a menu bar: which button does what, which menu an Alt
// key opens, where a menu opens, and sliding from an open menu to its
// neighbour's button.

#include <optional>
#include <string_view>

#include "app/core/main_menus.h"

namespace cirrodex {

enum class ButtonAction { None, Minimize, Exit, ForecastPage, OpenMenu };

struct ButtonPress {
  ButtonAction action = ButtonAction::None;
  MenuName menu = MenuName::Options;  // for OpenMenu
};

enum class PointerButton { Left, Right, Middle, Other };

// What pressing a skin button does; only the left button does anything.
ButtonPress skin_button_press(std::string_view button_id, PointerButton button);
// The bar menu a skin button opens, if any.
std::optional<MenuName> menu_of_button(std::string_view button_id);
// The menu Alt with this key opens ('o', 'g' or 'l', 'i', 'f', 'r', 'h').
std::optional<MenuName> menu_of_alt_key(char key);
// Whether hovering target's button while open is showing opens target: only
// the neighbours on the bar slide.
bool slides_to(MenuName open, MenuName target);

struct ScreenPoint {
  int x = 0, y = 0;
  bool operator==(const ScreenPoint&) const = default;
};
// A button opens its menu 10 pixels below the pressed point.
inline ScreenPoint menu_point_at_press(ScreenPoint pressed) { return {pressed.x, pressed.y + 10}; }
// An Alt key opens it 5 right of and 25 below the window's corner.
inline ScreenPoint menu_point_for_key(ScreenPoint window_corner) { return {window_corner.x + 5, window_corner.y + 25}; }

}  // namespace cirrodex
