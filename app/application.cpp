#include "app/application.h"

#include <QMessageBox>
#include <exception>

namespace cirrodex {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  report_error = [](const std::string& text) {
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Cirrodex"),
                         QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  };
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    report_error(e.what());
  } catch (...) {
    report_error("An unexpected error occurred.");
  }
  return false;
}

}  // namespace cirrodex
