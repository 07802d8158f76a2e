#pragma once
// One running copy per user: the first start listens on a local socket in the
// user's runtime folder; a later start hands its command line to that copy and
// ends. Without a usable runtime folder the program still runs, unguarded.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QWidget;

namespace cirrodex {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    First,    // this copy listens; later starts arrive as anotherInstanceStarted
    Another,  // a running copy took the command line: the caller should end
    Off,      // no guard possible (see error()); the caller runs anyway
  };

  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  // "<runtime folder>/<name>/instance.sock"; the runtime folder is
  // $XDG_RUNTIME_DIR, else Qt's per-user fallback. Empty when there is none.
  static QString socket_path(const QString& name);

  // Becomes the running copy or hands `arguments` to the one already running.
  // Off also prints the reason on stderr.
  Claim claim(const QString& name, const QStringList& arguments);
  QString error() const { return error_; }

 signals:
  void anotherInstanceStarted(const QStringList& arguments);

 private:
  Claim fail(const QString& why);
  void accept_connections();

  QLocalServer* server_ = nullptr;
  QString error_;
};

// Brings a window back from the tray or the task bar and in front.
void raise_window(QWidget* window);

}  // namespace cirrodex
