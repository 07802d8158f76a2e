// The program: one copy per user, working in the per-user data folder.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cerrno>
#include <cstring>

#include "app/application.h"
#include "app/program.h"
#include "platform/paths.h"
#include "platform/qt/single_instance.h"

int main(int argc, char** argv) {
  cirrodex::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("cirrodex"));
  // No display name: Qt would append it to every window title ("Moontool — Cirrodex").
  QGuiApplication::setDesktopFileName(QStringLiteral("cirrodex"));

  // A second start only brings the running copy to the front.
  cirrodex::SingleInstance instance;
  if (instance.claim(QStringLiteral("cirrodex"), QApplication::arguments()) == cirrodex::SingleInstance::Claim::Another)
    return 0;

  // Downloaded and written files are bare names in the working folder.
  const std::string data = cirrodex::data_dir();
  if (!cirrodex::make_dirs(data) || !QDir::setCurrent(QString::fromStdString(data))) {
    QMessageBox::critical(nullptr, QStringLiteral("Cirrodex"),
                          QStringLiteral("Cannot use the data folder %1: %2")
                              .arg(QString::fromStdString(data), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
  }

  // Help and the built-in skin's menu sounds sit in share/cirrodex beside bin/.
  cirrodex::Program program((QApplication::applicationDirPath() + QStringLiteral("/../share/cirrodex")).toStdString());
  QObject::connect(&instance, &cirrodex::SingleInstance::anotherInstanceStarted, &program.main_window(),
                   [&program] { cirrodex::raise_window(&program.main_window()); });
  // Closing the main window ends the program; closing another window while
  // the main one sits in the notification area does not.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&program.main_window(), &cirrodex::TForm1::closing, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  program.start();
  return QApplication::exec();
}
