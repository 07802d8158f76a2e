#pragma once
// Sending e-mail: the mail component port. The caller fills a message, then
// makes three calls, connect, send and disconnect, each of which succeeds or
// throws MailError; what happens on the way is reported through MailEvents
// (MailStatusLine puts it on the status line). The component's settings are
// fixed: port 25 unless the server is written "host:port", a time-out of
// 360000 ms, sender name "Cirrodex", plain text in US-ASCII, STARTTLS when
// the server offers it, no authentication and no attachments. Nothing of a
// message stays in the component once it is sent.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace cirrodex {

inline constexpr int kMailPort = 25;
inline constexpr int kMailTimeoutMs = 360000;

enum class MailEvent {
  Connected,
  Disconnected,
  HostResolved,
  PacketSent,
  SendStarted,
  Success,
  AttachmentNotFound,  // never raised: the program sends no attachments
  AuthenticationFailed,
  ConnectionFailed,
  ConnectionRequired,
  Failure,
  HeaderIncomplete,
  InvalidHost,
  RecipientNotFound,
};

class MailEvents {
 public:
  virtual ~MailEvents() = default;
  virtual void on_event(MailEvent event) = 0;
  // A text from the exchange with the server (its replies).
  virtual void on_status(const std::string& text) = 0;
};

// The events on the main window's status line, with their pauses.
class MailStatusLine final : public MailEvents {
 public:
  explicit MailStatusLine(Host& host) : host_(host) {}
  void on_event(MailEvent event) override;
  void on_status(const std::string& text) override;

 private:
  Host& host_;
};

// The status text and the pause after it (0: none) of an event.
struct MailEventText {
  std::string_view text;
  int pause_ms;
};
MailEventText mail_event_text(MailEvent event);

// The per-message fields.
struct MailMessage {
  std::vector<std::string> body;  // lines, without line ends
  std::string from_address;
  std::string reply_to;
  std::string from_name = "Cirrodex";
  std::string subject = "Cirrodex Alarm";
  std::string mailer = "Cirrodex";  // the sending program's name
  std::vector<std::string> recipients;
};

class MailError : public std::runtime_error {
 public:
  MailError(MailEvent event, const std::string& what) : std::runtime_error(what), event_(event) {}
  MailEvent event() const { return event_; }

 private:
  MailEvent event_;
};

class Mail {
 public:
  virtual ~Mail() = default;
  // Opens the session with the server: "host", "host:port" or "[v6]:port".
  virtual void connect(const std::string& server, MailEvents& events) = 0;
  virtual void send(const MailMessage& message, MailEvents& events) = 0;
  virtual void disconnect(MailEvents& events) = 0;
  // At exit: a call still waiting for the server ends at once with a
  // Failure; nothing when idle.
  virtual void abort() = 0;
};

// --- the message itself, shared by the adapters and their tests ------------

struct MailServer {
  std::string host;  // without the brackets of an IPv6 address
  int port = kMailPort;
};
// Empty when the text is no server name: blank, with a character outside
// letters, digits and ".-_:[]", or with a port outside 1 to 65535.
std::optional<MailServer> parse_mail_server(std::string_view text);

// Why the message cannot be sent: HeaderIncomplete without a sender or a
// recipient; Failure for a header field with a line break or another control
// character (no header injection) or an address that is more than one
// address; nullopt when it can go.
std::optional<MailEvent> message_problem(const MailMessage& message);

// The message as it travels: the header fields (date given in RFC 5322
// form), an empty line and the body, CR LF after every line. Body bytes
// outside US-ASCII become '?', and a CR or LF inside a body line ends it.
// Dot-stuffing is the transport's business.
std::string mail_message_text(const MailMessage& message, std::string_view date);

}  // namespace cirrodex
