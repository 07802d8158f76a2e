#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "platform/services.h"

namespace cirrodex {

bool QtShell::open_address(const std::string& address) {
  // A path is a file on this machine; anything with a scheme is an address.
  const QUrl url =
      has_scheme(address)
          ? QUrl(QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size())), QUrl::TolerantMode)
          : QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(address)));
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

bool QtShell::start_program(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& folder) {
  QStringList args;
  for (const std::string& a : arguments) args << QFile::decodeName(QByteArray::fromStdString(a));
  return QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(program)), args,
                                 QFile::decodeName(QByteArray::fromStdString(folder)));
}

}  // namespace cirrodex
