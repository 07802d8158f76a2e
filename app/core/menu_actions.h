#pragma once
// Runs the items of the pop-up menus. Commands, text reports and catalogue
// entries go to the handlers the program registers as their windows exist;
// an item without a handler is unavailable (shown disabled). Browser items
// open their page on the named service's host.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "app/core/main_menus.h"
#include "platform/host.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace cirrodex {

class MenuActions {
 public:
  MenuActions(const Services& services, Shell& shell, Host& host) : services_(services), shell_(shell), host_(host) {}

  void on(std::string_view command, std::function<void()> handler);
  void on_report(std::function<void(const std::string& kind)> handler) { report_ = std::move(handler); }
  void on_catalogue(std::function<void(const std::string& key)> handler) { catalogue_ = std::move(handler); }

  bool available(const MenuItem& item) const;
  // Runs the item; an unavailable one does nothing.
  void run(const MenuItem& item) const;
  // Runs a command by name (keys and the icon's menu use the same commands).
  void run_command(std::string_view command) const;
  bool has_command(std::string_view command) const { return commands_.find(command) != commands_.end(); }

  // The address a browser item opens.
  std::string address_of(const MenuItem& item) const { return services_.url(item.target, item.path); }
  // Opens an address in the browser; says so on the status line when no
  // browser could be started.
  void open_in_browser(const std::string& address) const;

 private:
  const Services& services_;
  Shell& shell_;
  Host& host_;
  std::map<std::string, std::function<void()>, std::less<>> commands_;
  std::function<void(const std::string&)> report_;
  std::function<void(const std::string&)> catalogue_;
};

}  // namespace cirrodex
