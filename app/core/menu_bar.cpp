#include "app/core/menu_bar.h"

#include <cctype>

namespace cirrodex {

std::optional<MenuName> menu_of_button(std::string_view id) {
  if (id == "BUTTON_OPTIONS") return MenuName::Options;
  if (id == "BUTTON_GETSTATS" || id == "BUTTON_LOCATIONS") return MenuName::GetStats;
  if (id == "BUTTON_IMAGES") return MenuName::Images;
  if (id == "BUTTON_FORECASTS") return MenuName::Forecasts;
  if (id == "BUTTON_REPORTS") return MenuName::Reports;
  if (id == "BUTTON_HELP") return MenuName::Help;
  return std::nullopt;
}

ButtonPress skin_button_press(std::string_view id, PointerButton button) {
  if (button != PointerButton::Left) return {};
  if (id == "BUTTON_MINBTN" || id == "BUTTON_MINIMIZE") return {ButtonAction::Minimize, {}};
  if (id == "BUTTON_EXIT") return {ButtonAction::Exit, {}};
  if (id == "BUTTON_FORECASTBTN") return {ButtonAction::ForecastPage, {}};
  if (const auto menu = menu_of_button(id)) return {ButtonAction::OpenMenu, *menu};
  return {};
}

std::optional<MenuName> menu_of_alt_key(char key) {
  switch (std::tolower(static_cast<unsigned char>(key))) {
    case 'o':
      return MenuName::Options;
    case 'g':
    case 'l':
      return MenuName::GetStats;
    case 'i':
      return MenuName::Images;
    case 'f':
      return MenuName::Forecasts;
    case 'r':
      return MenuName::Reports;
    case 'h':
      return MenuName::Help;
    default:
      return std::nullopt;
  }
}

namespace {
int bar_position(MenuName menu) {
  for (int i = 0; i < 6; ++i)
    if (kBarMenus[i] == menu) return i;
  return -10;  // not on the bar
}
}  // namespace

bool slides_to(MenuName open, MenuName target) {
  const int from = bar_position(open);
  const int to = bar_position(target);
  return from >= 0 && to >= 0 && (from - to == 1 || to - from == 1);
}

}  // namespace cirrodex
