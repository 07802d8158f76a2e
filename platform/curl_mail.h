#pragma once
// The mail component over libcurl's SMTP. connect opens the session
// (greeting, EHLO, STARTTLS when offered) and checks it with a NOOP; send
// runs MAIL, RCPT and DATA on that same connection; disconnect ends it with
// QUIT. Like the transfer component, each call drives libcurl's multi
// interface and runs the caller's pump between rounds, and the events are
// collected inside libcurl's callbacks and handed over between rounds.
//
// Events: HostResolved when the address is known; Connected at the
// server's greeting; a status text for the last line of every reply;
// SendStarted with MAIL FROM; PacketSent for the message data; Success
// after the server took the message; Disconnected after disconnect; and
// before a throw the failure's event: InvalidHost (a malformed server text
// or a name that does not resolve), ConnectionFailed (no greeting),
// AuthenticationFailed (the server demands a login: 530, 534, 535, 538),
// RecipientNotFound (RCPT refused), ConnectionRequired (send before
// connect), HeaderIncomplete or Failure (see message_problem), Failure for
// anything else.

#include <functional>
#include <memory>
#include <string>

#include "platform/mail.h"

namespace cirrodex {

class CurlMail final : public Mail {
 public:
  // pump: runs the caller's pending events while a call waits. May be empty.
  explicit CurlMail(std::function<void()> pump);
  ~CurlMail() override;
  CurlMail(const CurlMail&) = delete;
  CurlMail& operator=(const CurlMail&) = delete;

  void connect(const std::string& server, MailEvents& events) override;
  void send(const MailMessage& message, MailEvents& events) override;
  void disconnect(MailEvents& events) override;
  void abort() override { abort_requested_ = busy_; }

  // The certificates to trust for STARTTLS instead of the system's (tests).
  void set_ca_file(std::string path) { ca_file_ = std::move(path); }

  // Connections libcurl opened for the last call (0: it used the session's).
  long last_new_connections() const { return new_connections_; }

  // Internals of the adapter, named here so libcurl's callbacks reach them.
  struct Session;
  struct Exchange;

 private:
  // Runs one transfer of the session to its end; throws after the failure event.
  void perform(Exchange& x);

  std::function<void()> pump_;
  std::string ca_file_;
  std::unique_ptr<Session> session_;
  long new_connections_ = 0;
  bool busy_ = false;
  bool abort_requested_ = false;
};

// The date of a message header for the local time now ("Fri, 11 Dec 2026
// 14:30:00 +0100"), in English whatever the locale.
std::string mail_date_now();

}  // namespace cirrodex
