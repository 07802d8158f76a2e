#include "platform/qt/online_detector.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <cstdint>
#include <sstream>
#include <string>

namespace cirrodex {

namespace {

constexpr std::uint32_t kRtfUp = 0x0001;
constexpr std::uint32_t kRtfReject = 0x0200;

// Every line but the header, split at white space.
template <typename F>
bool any_line(std::string_view table, bool skip_header, F&& matches) {
  std::istringstream in{std::string(table)};
  std::string line;
  if (skip_header) std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string word; fields >> word;) f.push_back(word);
    if (matches(f)) return true;
  }
  return false;
}

bool hex_flags(const std::string& text, std::uint32_t& flags) {
  if (text.empty() || text.size() > 8) return false;
  try {
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used, 16);
    if (used != text.size()) return false;
    flags = static_cast<std::uint32_t>(value);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool usable(const std::string& flags_text, const std::string& iface) {
  std::uint32_t flags = 0;
  return hex_flags(flags_text, flags) && (flags & kRtfUp) != 0 && (flags & kRtfReject) == 0 && iface != "lo";
}

std::string read_text(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

}  // namespace

bool ipv4_default_route(std::string_view route_table) {
  // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
  return any_line(route_table, true, [](const std::vector<std::string>& f) {
    return f.size() >= 8 && f[1] == "00000000" && f[7] == "00000000" && usable(f[3], f[0]);
  });
}

bool ipv6_default_route(std::string_view ipv6_route_table) {
  // Destination PrefixLength Source PrefixLength NextHop Metric RefCnt Use Flags Iface
  return any_line(ipv6_route_table, false, [](const std::vector<std::string>& f) {
    return f.size() >= 10 && f[0] == std::string(32, '0') && f[1] == "00" && usable(f[8], f[9]);
  });
}

bool online_from(std::optional<unsigned> nm_state, bool default_route) {
  return nm_state ? *nm_state == kNmStateConnectedGlobal : default_route;
}

SystemOnlineDetector::SystemOnlineDetector(OnlineDetectorOptions options) : options_(std::move(options)) {
  route_ = routes_online();
  online_ = online_from(nm_state_, route_);
  ask_network_manager();
  timer_.setInterval(options_.interval_ms);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { check_now(); });
  timer_.start();
}

// The D-Bus watcher is the timer's child and goes with it: a late answer
// never reaches a detector that is gone.
SystemOnlineDetector::~SystemOnlineDetector() = default;

bool SystemOnlineDetector::routes_online() const {
  return ipv4_default_route(read_text(options_.ipv4_routes)) || ipv6_default_route(read_text(options_.ipv6_routes));
}

void SystemOnlineDetector::check_now() {
  route_ = routes_online();
  ask_network_manager();
  update();
}

void SystemOnlineDetector::ask_network_manager() {
  if (!options_.ask_network_manager || asking_) return;
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    nm_state_.reset();
    return;
  }
  QDBusMessage get = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("/org/freedesktop/NetworkManager"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QStringLiteral("org.freedesktop.NetworkManager") << QStringLiteral("State");
  asking_ = true;
  // Asynchronous, so a slow bus never holds up the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get, options_.interval_ms), &timer_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &timer_, [this](QDBusPendingCallWatcher* w) {
    asking_ = false;
    const QDBusPendingReply<QDBusVariant> reply = *w;
    bool ok = false;
    const unsigned state = reply.isError() ? 0u : reply.value().variant().toUInt(&ok);
    if (ok)
      nm_state_ = state;
    else
      nm_state_.reset();
    w->deleteLater();
    update();
  });
}

void SystemOnlineDetector::update() {
  const bool now = online_from(nm_state_, route_);
  if (now == online_) return;
  online_ = now;
  if (on_change_) on_change_(online_);
}

}  // namespace cirrodex
