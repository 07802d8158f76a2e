#pragma once
// The tray port over QSystemTrayIcon, one per icon id.
//
// Qt picks the status-notifier (D-Bus) path or the XEmbed path once per
// process, when the first QSystemTrayIcon is made (or availability is first
// asked), and never looks again. A panel that starts after us (autostart at
// login) would then never show our icons over D-Bus, and on Wayland not at
// all. So while no status-notifier host is registered the icons are only
// remembered: they are made when the watcher and its host appear, or, under
// X11, after a grace period, when the XEmbed path (which re-docks by itself)
// is the better bet.

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <map>
#include <memory>

#include "platform/tray.h"

class QDBusServiceWatcher;
class QImage;
class QTimer;

namespace cirrodex {

class QtTray final : public QObject, public Tray {
  Q_OBJECT

 public:
  // Needs the QGuiApplication. grace_ms: how long an X11 session waits for
  // a status-notifier host before it settles for XEmbed.
  explicit QtTray(QObject* parent = nullptr, int grace_ms = 8000);
  ~QtTray() override;

  void add(int id, const TrayPicture& picture, const std::string& tip) override;
  void modify(int id, const TrayPicture& picture, const std::string& tip) override;
  void remove(int id) override;
  void set_listener(int id, Listener listener) override;
  bool available() const override;

  static QIcon to_icon(const TrayPicture& picture);
  // The other way, for the program icon and the condition pictures.
  static TrayPicture to_picture(const QImage& image);

 private slots:
  // The watcher's StatusNotifierHostRegistered signal.
  void host_registered();

 private:
  struct Slot {
    QIcon icon;
    QString tip;
    bool wanted = false;  // added and not removed since
    std::unique_ptr<QSystemTrayIcon> widget;
  };

  void check_host();
  void host_ready();
  void commit();
  void place(int id, Slot& slot);
  void activated(int id, QSystemTrayIcon::ActivationReason reason);
  void deliver(int id, const TrayEvent& event);

  std::map<int, Slot> slots_;
  std::map<int, Listener> listeners_;
  bool committed_ = false;  // QSystemTrayIcons may be made now
  bool sni_host_ = false;   // a status-notifier host is registered
  bool sni_path_ = false;   // Qt made its choice while there was one
  QDBusServiceWatcher* watcher_ = nullptr;
  QTimer* grace_ = nullptr;
};

}  // namespace cirrodex
