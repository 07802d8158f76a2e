#pragma once
// A host that records every call and never sleeps.
//   status: TEXT | beep | pause: MS | message: TEXT | repaint

#include <deque>

#include "platform/fakes/call_log.h"
#include "platform/host.h"

namespace cirrodex::fakes {

class FakeHost final : public Host {
 public:
  explicit FakeHost(CallLog& log) : log_(log) {}

  void show_status(const std::string& text) override {
    status_ = text;
    log_.add("status: " + text);
  }
  void beep() override { log_.add("beep"); }
  void pause(int ms) override {
    paused_ms_ += ms;
    log_.add("pause: " + std::to_string(ms));
  }
  MessageAnswer message_box(const std::string& text, MessageKind kind, MessageButtons buttons) override {
    log_.add("message: " + text);
    last_kind_ = kind;
    last_buttons_ = buttons;
    if (!answers_.empty()) {
      const MessageAnswer a = answers_.front();
      answers_.pop_front();
      return a;
    }
    switch (buttons) {
      case MessageButtons::Ok:
      case MessageButtons::OkCancel:
        return MessageAnswer::Ok;
      default:
        return MessageAnswer::Yes;
    }
  }
  void repaint() override { log_.add("repaint"); }

  // The answers the next message boxes give, in order; afterwards Ok or Yes.
  void queue_answer(MessageAnswer a) { answers_.push_back(a); }
  const std::string& status() const { return status_; }
  long long paused_ms() const { return paused_ms_; }
  MessageKind last_kind() const { return last_kind_; }
  MessageButtons last_buttons() const { return last_buttons_; }

 private:
  CallLog& log_;
  std::string status_;
  long long paused_ms_ = 0;
  std::deque<MessageAnswer> answers_;
  MessageKind last_kind_ = MessageKind::Plain;
  MessageButtons last_buttons_ = MessageButtons::Ok;
};

}  // namespace cirrodex::fakes
