#pragma once
// The online detector on Linux: once a second it looks for a default route
// (IPv4 or IPv6) in the kernel's routing tables and, where NetworkManager is
// on the system bus, asks it for its state. When NetworkManager answers its
// word wins: online means "connected globally", whatever the routes say.

#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/dialup.h"

namespace cirrodex {

// A usable default route in the text of /proc/net/route: destination and
// mask 00000000, flag RTF_UP, not a reject route, not on the loopback.
bool ipv4_default_route(std::string_view route_table);
// The same for /proc/net/ipv6_route: destination ::/0.
bool ipv6_default_route(std::string_view ipv6_route_table);

// NetworkManager's State value for "connected globally".
inline constexpr unsigned kNmStateConnectedGlobal = 70;
// The online state from NetworkManager's answer (none: it did not answer)
// and the routes.
bool online_from(std::optional<unsigned> nm_state, bool default_route);

struct OnlineDetectorOptions {
  QString ipv4_routes = QStringLiteral("/proc/net/route");
  QString ipv6_routes = QStringLiteral("/proc/net/ipv6_route");
  bool ask_network_manager = true;
  int interval_ms = 1000;
};

class SystemOnlineDetector final : public OnlineDetector {
 public:
  // Checks at once (without a change call), then on the timer.
  explicit SystemOnlineDetector(OnlineDetectorOptions options = {});
  ~SystemOnlineDetector() override;
  SystemOnlineDetector(const SystemOnlineDetector&) = delete;
  SystemOnlineDetector& operator=(const SystemOnlineDetector&) = delete;

  bool online() const override { return online_; }
  void set_on_change(std::function<void(bool online)> callback) override { on_change_ = std::move(callback); }

  // One check, as the timer does it; the change call only when the state
  // differs from the last one.
  void check_now();

 private:
  bool routes_online() const;
  void ask_network_manager();
  void update();

  OnlineDetectorOptions options_;
  QTimer timer_;
  std::function<void(bool)> on_change_;
  bool online_ = false;
  bool route_ = false;
  std::optional<unsigned> nm_state_;
  bool asking_ = false;
};

}  // namespace cirrodex
