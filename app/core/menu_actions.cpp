#include "app/core/menu_actions.h"

namespace cirrodex {

void MenuActions::on(std::string_view command, std::function<void()> handler) {
  commands_[std::string(command)] = std::move(handler);
}

bool MenuActions::available(const MenuItem& item) const {
  switch (item.kind) {
    case ItemKind::Command:
      return has_command(item.target);
    case ItemKind::Browser:
      return services_.has(item.target);
    case ItemKind::Report:
      return static_cast<bool>(report_);
    case ItemKind::Catalogue:
      return static_cast<bool>(catalogue_);
    case ItemKind::Submenu:
    case ItemKind::Presets:
      return true;
    case ItemKind::Separator:
      return false;
  }
  return false;
}

void MenuActions::run(const MenuItem& item) const {
  if (!available(item)) return;
  switch (item.kind) {
    case ItemKind::Command:
      run_command(item.target);
      break;
    case ItemKind::Browser:
      open_in_browser(address_of(item));
      break;
    case ItemKind::Report:
      report_(item.target);
      break;
    case ItemKind::Catalogue:
      catalogue_(item.target);
      break;
    default:
      break;
  }
}

void MenuActions::run_command(std::string_view command) const {
  const auto it = commands_.find(command);
  if (it != commands_.end()) it->second();
}

void MenuActions::open_in_browser(const std::string& address) const {
  if (!shell_.open_address(address)) host_.show_status("Could not start a web browser for " + address);
}

}  // namespace cirrodex
