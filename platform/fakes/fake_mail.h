#pragma once
// A mail component that sends nothing and records the three calls:
//   mail connect: SERVER | mail send: FROM -> TO | mail disconnect | mail abort
// Each raises the events the real one raises on success (Connected;
// SendStarted and Success; Disconnected), or the scripted failure's event
// before it throws.

#include <optional>

#include "platform/fakes/call_log.h"
#include "platform/mail.h"

namespace cirrodex::fakes {

class FakeMail final : public Mail {
 public:
  enum class Step { Connect, Send, Disconnect };

  explicit FakeMail(CallLog& log) : log_(log) {}

  void connect(const std::string& server, MailEvents& events) override {
    log_.add("mail connect: " + server);
    fail_if(Step::Connect, events);
    connected_ = true;
    events.on_event(MailEvent::Connected);
  }
  void send(const MailMessage& message, MailEvents& events) override {
    std::string to;
    for (const std::string& r : message.recipients) to += (to.empty() ? "" : ", ") + r;
    log_.add("mail send: " + message.from_address + " -> " + to);
    if (!connected_) {
      events.on_event(MailEvent::ConnectionRequired);
      throw MailError(MailEvent::ConnectionRequired, "not connected");
    }
    events.on_event(MailEvent::SendStarted);
    fail_if(Step::Send, events);
    sent_ = message;
    events.on_event(MailEvent::Success);
  }
  void disconnect(MailEvents& events) override {
    log_.add("mail disconnect");
    fail_if(Step::Disconnect, events);
    connected_ = false;
    events.on_event(MailEvent::Disconnected);
  }

  void abort() override { log_.add("mail abort"); }

  // The step fails with this event and throws.
  void fail_at(Step step, MailEvent event) { failure_ = {step, event}; }
  // The last message that went through send.
  const std::optional<MailMessage>& sent() const { return sent_; }

 private:
  void fail_if(Step step, MailEvents& events) {
    if (!failure_ || failure_->first != step) return;
    events.on_event(failure_->second);
    throw MailError(failure_->second, "scripted failure");
  }
  CallLog& log_;
  bool connected_ = false;
  std::optional<std::pair<Step, MailEvent>> failure_;
  std::optional<MailMessage> sent_;
};

}  // namespace cirrodex::fakes
