#include "platform/qt/qt_tray.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <cstring>

namespace cirrodex {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int kCallTimeoutMs = 2000;

}  // namespace

QtTray::QtTray(QObject* parent, int grace_ms) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    // No session bus: XEmbed is all there can be.
    commit();
    return;
  }
  watcher_ = new QDBusServiceWatcher(
      kWatcherService, bus, QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration,
      this);
  connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] { check_host(); });
  connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this] { sni_host_ = false; });
  // Any sender: the watcher may not own its name yet.
  bus.connect(QString(), kWatcherPath, kWatcherService, QStringLiteral("StatusNotifierHostRegistered"), this,
              SLOT(host_registered()));
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    grace_ = new QTimer(this);
    grace_->setSingleShot(true);
    connect(grace_, &QTimer::timeout, this, [this] {
      if (!committed_) commit();
    });
    grace_->start(grace_ms);
  }
  check_host();
}

QtTray::~QtTray() = default;

void QtTray::check_host() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  call << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
  auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, kCallTimeoutMs), this);
  connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    const QDBusPendingReply<QDBusVariant> reply = *w;
    w->deleteLater();
    if (reply.isValid() && reply.value().variant().toBool()) host_ready();
  });
}

void QtTray::host_registered() { host_ready(); }

void QtTray::host_ready() {
  if (sni_host_) return;
  sni_host_ = true;
  if (grace_) grace_->stop();
  if (!committed_) {
    commit();
    return;
  }
  // A new watcher (the panel restarted): show the icons again so that they
  // register with it.
  for (auto& [id, slot] : slots_)
    if (slot.wanted && slot.widget) {
      slot.widget->hide();
      slot.widget->show();
    }
}

void QtTray::commit() {
  committed_ = true;
  sni_path_ = sni_host_;
  for (auto& [id, slot] : slots_)
    if (slot.wanted) place(id, slot);
}

void QtTray::place(int id, Slot& slot) {
  if (!slot.widget) {
    slot.widget = std::make_unique<QSystemTrayIcon>();
    // No context menu is set, so a right click arrives as Context and the
    // owner pops its own menu.
    connect(slot.widget.get(), &QSystemTrayIcon::activated, this,
            [this, id](QSystemTrayIcon::ActivationReason reason) { activated(id, reason); });
  }
  slot.widget->setIcon(slot.icon);
  slot.widget->setToolTip(slot.tip);
  slot.widget->show();
}

void QtTray::add(int id, const TrayPicture& picture, const std::string& tip) {
  Slot& slot = slots_[id];
  slot.icon = to_icon(picture);
  slot.tip = QString::fromLatin1(tip.data(), static_cast<qsizetype>(tip.size()));
  slot.wanted = !slot.icon.isNull();
  if (!slot.wanted) {
    if (slot.widget) slot.widget->hide();
    return;
  }
  if (committed_) place(id, slot);
}

void QtTray::modify(int id, const TrayPicture& picture, const std::string& tip) {
  const auto it = slots_.find(id);
  if (it == slots_.end() || !it->second.wanted) return;
  add(id, picture, tip);
}

void QtTray::remove(int id) {
  const auto it = slots_.find(id);
  if (it == slots_.end()) return;
  it->second.wanted = false;
  // Kept, not deleted: this may run from the icon's own click.
  if (it->second.widget) it->second.widget->hide();
}

void QtTray::set_listener(int id, Listener listener) {
  if (listener)
    listeners_[id] = std::move(listener);
  else
    listeners_.erase(id);
}

bool QtTray::available() const {
  // Asking Qt before the icons are made would fix its choice too early; a
  // host that came after the choice is of no use to Qt's XEmbed path.
  if (!committed_) return false;
  return sni_path_ ? sni_host_ : QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon QtTray::to_icon(const TrayPicture& picture) {
  if (picture.empty()) return {};
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  const auto row_bytes = static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y),
                picture.argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width), row_bytes);
  return QIcon(QPixmap::fromImage(image));
}

TrayPicture QtTray::to_picture(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  TrayPicture picture{argb.width(), argb.height(), {}};
  picture.argb.reserve(static_cast<std::size_t>(argb.width()) * static_cast<std::size_t>(argb.height()));
  for (int y = 0; y < argb.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
    picture.argb.insert(picture.argb.end(), row, row + argb.width());
  }
  return picture;
}

void QtTray::activated(int id, QSystemTrayIcon::ActivationReason reason) {
  const QPoint cursor = QCursor::pos();
  const TrayPoint at{cursor.x(), cursor.y()};
  TrayButton button = TrayButton::Left;
  switch (reason) {
    case QSystemTrayIcon::DoubleClick:
      deliver(id, {TrayEvent::Kind::DoubleClick, TrayButton::Left, at});
      return;
    case QSystemTrayIcon::Trigger:
      button = TrayButton::Left;
      break;
    case QSystemTrayIcon::Context:
      button = TrayButton::Right;
      break;
    case QSystemTrayIcon::MiddleClick:
      button = TrayButton::Middle;
      break;
    case QSystemTrayIcon::Unknown:
      return;
  }
  // Qt reports a click once; the listener gets it as press and release.
  deliver(id, {TrayEvent::Kind::Down, button, at});
  deliver(id, {TrayEvent::Kind::Up, button, at});
}

void QtTray::deliver(int id, const TrayEvent& event) {
  // Looked up each time and copied: the listener may go away while it runs.
  const auto it = listeners_.find(id);
  if (it == listeners_.end()) return;
  const Listener listener = it->second;
  listener(event);
}

}  // namespace cirrodex
