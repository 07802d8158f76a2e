#pragma once
// The program's application object. A failure that no command catches
// (an exception leaving an event handler) ends up here: it is reported in a
// message box with the program's title and the program goes on.

#include <QApplication>
#include <functional>
#include <string>

namespace cirrodex {

class Application final : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the report; tests replace it. The default is a warning box
  // titled "Cirrodex".
  std::function<void(const std::string& text)> report_error;
};

}  // namespace cirrodex
