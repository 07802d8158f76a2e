#pragma once
// The host port over a Qt window: the status line is the window's status
// slot, pauses run a nested event loop that keeps painting but holds back
// user input, and message boxes are modal Qt message boxes.

#include <QPointer>
#include <QWidget>

#include "platform/display.h"
#include "platform/host.h"

namespace cirrodex {

class QtHost final : public Host {
 public:
  QtHost(QWidget* window, Display& display) : window_(window), display_(display) {}

  void show_status(const std::string& text) override;
  void beep() override;
  void pause(int ms) override;
  MessageAnswer message_box(const std::string& text, MessageKind kind, MessageButtons buttons) override;
  void repaint() override;

 private:
  QPointer<QWidget> window_;
  Display& display_;
};

}  // namespace cirrodex
