#include "platform/qt/single_instance.h"

#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <QtEndian>
#include <memory>

namespace cirrodex {
namespace {

// Wire format: a 4-byte big-endian length, then each argument in UTF-8
// followed by a NUL (a command line cannot hold one). The answer is one byte.
constexpr qsizetype kHeader = 4;
constexpr quint32 kMaxMessage = 1u << 20;
constexpr char kAck = '\x06';

// The lock is held only to look for a listener and to start listening, so a
// few copies started together on a loaded machine get it well within this.
constexpr int kLockWaitMs = 20000;
// QLockFile::tryLock(timeout) doubles its pause up to 6.4 s between tries,
// which can leave a copy asleep long after the lock came free.
constexpr unsigned long kLockPollMs = 10;
constexpr int kConnectMs = 500;
// The running copy answers from its event loop, which may still be busy
// starting up.
constexpr int kAnswerMs = 5000;

QByteArray encode(const QStringList& arguments) {
  QByteArray body;
  for (const QString& argument : arguments) {
    body += argument.toUtf8();
    body += '\0';
  }
  QByteArray frame(kHeader, '\0');
  qToBigEndian(static_cast<quint32>(body.size()), frame.data());
  return frame + body;
}

QStringList decode(const QByteArray& body) {
  QList<QByteArray> parts = body.split('\0');
  parts.removeLast();  // what follows the last terminator
  QStringList arguments;
  for (const QByteArray& part : parts) arguments << QString::fromUtf8(part);
  return arguments;
}

bool take(QLockFile& lock) {
  const QDeadlineTimer deadline(kLockWaitMs);
  // tryLock(0) still removes a lock left by a copy that died holding it.
  while (!lock.tryLock(0)) {
    if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
    QThread::msleep(kLockPollMs);
  }
  return true;
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socket_path(const QString& name) {
  QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  // Qt's fallback makes a private /tmp/runtime-$USER; a bare name would land
  // in the shared /tmp.
  if (runtime.isEmpty() || QDir::isRelativePath(runtime))
    runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty() || QDir::isRelativePath(runtime)) return {};
  return QDir::cleanPath(runtime + QLatin1Char('/') + name + QStringLiteral("/instance.sock"));
}

SingleInstance::Claim SingleInstance::fail(const QString& why) {
  error_ = QStringLiteral("Cirrodex: single-instance check off: %1").arg(why);
  qWarning("%s", qUtf8Printable(error_));
  return Claim::Off;
}

SingleInstance::Claim SingleInstance::claim(const QString& name, const QStringList& arguments) {
  if (server_) return Claim::First;
  error_.clear();
  const QString path = socket_path(name);
  if (path.isEmpty()) return fail(QStringLiteral("no per-user runtime folder (XDG_RUNTIME_DIR)"));
  const QByteArray native = QFile::encodeName(path);
  if (static_cast<size_t>(native.size()) >= sizeof(sockaddr_un::sun_path))
    return fail(
        QStringLiteral("socket path %1 is longer than %2 bytes").arg(path).arg(sizeof(sockaddr_un::sun_path) - 1));

  const QString dir = QFileInfo(path).absolutePath();
  // Copies started together race to make the folder; losing that race is fine.
  if (!QFileInfo(dir).isDir() && !QDir().mkdir(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
      !QFileInfo(dir).isDir())
    return fail(QStringLiteral("cannot make the folder %1").arg(dir));
  if (QFileInfo(dir).ownerId() != ::geteuid()) return fail(QStringLiteral("%1 belongs to another user").arg(dir));

  // Two copies started together must not both find nobody and both listen.
  QLockFile lock(dir + QStringLiteral("/instance.lock"));
  if (!take(lock)) return fail(QStringLiteral("cannot lock %1/instance.lock").arg(dir));

  QLocalSocket socket;
  socket.connectToServer(path);
  const bool connected = socket.waitForConnected(kConnectMs);
  // Still connecting means a copy listens but its queue of connections is
  // full: taking its socket over would leave two copies running.
  if (connected || socket.state() == QLocalSocket::ConnectingState) {
    // Later starts need not queue behind this hand-over while a copy that is
    // still starting up keeps it waiting.
    lock.unlock();
    if (connected) {
      socket.write(encode(arguments));
      socket.flush();
      char answer = 0;
      if (socket.waitForReadyRead(kAnswerMs) && socket.getChar(&answer) && answer == kAck) return Claim::Another;
    }
    // A copy is alive but did not answer in time; a command line it was sent
    // is still read once its event loop runs.
    error_ = QStringLiteral("Cirrodex: the running copy did not answer at %1").arg(path);
    qWarning("%s", qUtf8Printable(error_));
    return Claim::Another;
  }

  // Nobody listens: a copy that crashed leaves its socket file behind.
  QLocalServer::removeServer(path);
  auto server = std::make_unique<QLocalServer>(this);
  if (!server->listen(path)) return fail(QStringLiteral("cannot listen on %1: %2").arg(path, server->errorString()));
  server_ = server.release();
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept_connections);
  return Claim::First;
}

void SingleInstance::accept_connections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto received = std::make_shared<QByteArray>();
    auto on_ready = [this, socket, received] {
      received->append(socket->readAll());
      if (received->size() < kHeader) return;
      const auto length = qFromBigEndian<quint32>(received->constData());
      if (length > kMaxMessage) {
        socket->abort();
        return;
      }
      if (received->size() < kHeader + static_cast<qsizetype>(length)) return;
      const QStringList arguments = decode(received->mid(kHeader, static_cast<qsizetype>(length)));
      socket->disconnect(this);
      socket->putChar(kAck);
      socket->flush();
      socket->disconnectFromServer();
      emit anotherInstanceStarted(arguments);
    };
    connect(socket, &QLocalSocket::readyRead, this, on_ready);
    if (socket->bytesAvailable() > 0) on_ready();
  }
}

void raise_window(QWidget* window) {
  if (!window) return;
  if (window->isMinimized() || window->isHidden()) window->showNormal();
  window->raise();
  window->activateWindow();
}

}  // namespace cirrodex
