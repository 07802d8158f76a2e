#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

namespace cirrodex {

void QtHost::show_status(const std::string& text) {
  display_.set_slot_text("TEXT_STATUSBAR", text);
  repaint();
}

void QtHost::beep() { QApplication::beep(); }

void QtHost::pause(int ms) {
  if (ms <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

MessageAnswer QtHost::message_box(const std::string& text, MessageKind kind, MessageButtons buttons) {
  QMessageBox box(window_ ? window_.data() : nullptr);
  box.setWindowTitle(QStringLiteral("Cirrodex"));
  box.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  switch (kind) {
    case MessageKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageKind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageKind::Plain:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
}

void QtHost::repaint() {
  if (window_) window_->repaint();
}

}  // namespace cirrodex
