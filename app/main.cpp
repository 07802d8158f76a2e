// The program: one copy per user, working in the per-user data folder.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>
#include <cstring>

#include "app/application.h"
#include "app/core/local_service.h"
#include "app/program.h"
#include "platform/paths.h"
#include "platform/posix_service_launcher.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/termination_signals.h"
#include "platform/services.h"
#include "resources/builtin.h"

namespace {

// cirrodex-service beside the program, or in the build tree's service folder.
std::string service_program() {
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {dir + QStringLiteral("/cirrodex-service"), dir + QStringLiteral("/../service/cirrodex-service")})
    if (QFileInfo(candidate).isExecutable())
      return QFile::encodeName(QFileInfo(candidate).canonicalFilePath()).toStdString();
  return (QFile::encodeName(dir) + "/cirrodex-service").toStdString();
}

}  // namespace

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

  // The remote hosts; the conditions service on this machine when the list
  // names one that does not answer yet (ended with the program).
  cirrodex::LoadedServices services = cirrodex::load_services(*cirrodex::builtin_resource("SERVICES", "CONF"));
  cirrodex::PosixServiceLauncher launcher;
  const std::string runtime = cirrodex::runtime_dir();
  cirrodex::LocalService local(launcher, service_program(),
                               runtime.empty() ? std::string() : runtime + "/cirrodex/service.address");
  if (const std::string problem = local.attach(services.services); !problem.empty())
    services.problems.push_back(problem);
  cirrodex::ProgramPorts ports;
  ports.services = &services;

  // Help and the built-in skin's menu sounds sit in share/cirrodex beside bin/.
  cirrodex::Program program((QApplication::applicationDirPath() + QStringLiteral("/../share/cirrodex")).toStdString(),
                            ports);
  QObject::connect(&instance, &cirrodex::SingleInstance::anotherInstanceStarted, &program.main_window(),
                   [&program] { cirrodex::raise_window(&program.main_window()); });
  // Closing the main window ends the program; closing another window while
  // the main one sits in the notification area does not.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&program.main_window(), &cirrodex::TForm1::closing, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  // Ended by the session or a terminal: the same exit as the window's.
  cirrodex::on_termination_signals([&program] { program.main_window().close(); });
  program.start();
  return QApplication::exec();
}
