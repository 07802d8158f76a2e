#include "platform/mail.h"

#include "platform/text.h"

namespace cirrodex {

MailEventText mail_event_text(MailEvent event) {
  switch (event) {
    case MailEvent::Connected:
      return {"Connected...", 0};
    case MailEvent::Disconnected:
      return {"Disconnected...", 10};
    case MailEvent::HostResolved:
      return {"Host resolved...", 0};
    case MailEvent::PacketSent:
      return {"Packet sent...", 0};
    case MailEvent::SendStarted:
      return {"Send started...", 0};
    case MailEvent::Success:
      return {"E-mail successfull.", 20};
    case MailEvent::AttachmentNotFound:
      return {"Error - e-mail Attachment not found.", 1200};
    case MailEvent::AuthenticationFailed:
      return {"Error - Authentication failed.", 1200};
    case MailEvent::ConnectionFailed:
      return {"Error - Connection failed.", 1200};
    case MailEvent::ConnectionRequired:
      return {"Error - Connection required.", 1200};
    case MailEvent::Failure:
      return {"Error - e-mail failed.", 1200};
    case MailEvent::HeaderIncomplete:
      return {"Error - e-mail header incomplete.", 1200};
    case MailEvent::InvalidHost:
      return {"Error - Invalid host.", 1200};
    case MailEvent::RecipientNotFound:
      return {"Error - e-mail recipient not found.", 1200};
  }
  return {"Error - e-mail failed.", 1200};
}

void MailStatusLine::on_event(MailEvent event) {
  const MailEventText shown = mail_event_text(event);
  host_.show_status(std::string(shown.text));
  if (shown.pause_ms > 0) host_.pause(shown.pause_ms);
}

void MailStatusLine::on_status(const std::string& text) {
  host_.show_status("E-mail status:" + text);
  host_.pause(10);
}

namespace {

bool is_host_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || text::is_digit(c) || c == '.' || c == '-' || c == '_' ||
         c == ':';
}

bool has_control(std::string_view s) {
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) return true;
  }
  return false;
}

// One plain address: no blanks, brackets, commas or bytes outside ASCII,
// which would let one setting name several recipients or break the field.
bool is_single_address(std::string_view s) {
  if (s.empty() || has_control(s)) return false;
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u > 126 || c == ' ' || c == '<' || c == '>' || c == ',' || c == ';' || c == '"' || c == '(' || c == ')')
      return false;
  }
  return true;
}

}  // namespace

std::optional<MailServer> parse_mail_server(std::string_view text) {
  const std::string s = text::trim(text);
  if (s.empty()) return std::nullopt;
  MailServer server;
  std::string port;
  if (s.front() == '[') {
    const std::size_t close = s.find(']');
    if (close == std::string::npos || close == 1) return std::nullopt;
    server.host = s.substr(1, close - 1);
    const std::string rest = s.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
    }
  } else if (const std::size_t colon = s.find(':'); colon != std::string::npos) {
    if (s.find(':', colon + 1) != std::string::npos) return std::nullopt;  // a bare IPv6 address needs brackets
    server.host = s.substr(0, colon);
    port = s.substr(colon + 1);
    if (port.empty()) return std::nullopt;
  } else {
    server.host = s;
  }
  if (server.host.empty()) return std::nullopt;
  for (const char c : server.host)
    if (!is_host_char(c)) return std::nullopt;
  if (!port.empty()) {
    for (const char c : port)
      if (!text::is_digit(c)) return std::nullopt;
    const auto n = text::to_integer(port);
    if (!n || *n < 1 || *n > 65535) return std::nullopt;
    server.port = static_cast<int>(*n);
  }
  return server;
}

std::optional<MailEvent> message_problem(const MailMessage& m) {
  if (m.from_address.empty() || m.recipients.empty()) return MailEvent::HeaderIncomplete;
  if (!is_single_address(m.from_address)) return MailEvent::Failure;
  if (!m.reply_to.empty() && !is_single_address(m.reply_to)) return MailEvent::Failure;
  for (const std::string& r : m.recipients)
    if (!is_single_address(r)) return MailEvent::Failure;
  for (const std::string* field : {&m.from_name, &m.subject, &m.mailer})
    if (has_control(*field)) return MailEvent::Failure;
  return std::nullopt;
}

namespace {

// Header texts are kept to US-ASCII like the body.
std::string ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) > 126) c = '?';
  return out;
}

}  // namespace

std::string mail_message_text(const MailMessage& m, std::string_view date) {
  std::string out;
  auto field = [&out](std::string_view name, std::string_view value) {
    out += name;
    out += ": ";
    out += value;
    out += "\r\n";
  };
  field("Date", date);
  field("From", m.from_name.empty() ? m.from_address : ascii(m.from_name) + " <" + m.from_address + ">");
  if (!m.reply_to.empty()) field("Reply-To", m.reply_to);
  std::string to;
  for (const std::string& r : m.recipients) to += (to.empty() ? "" : ", ") + r;
  field("To", to);
  field("Subject", ascii(m.subject));
  if (!m.mailer.empty()) field("X-Mailer", ascii(m.mailer));
  field("MIME-Version", "1.0");
  field("Content-Type", "text/plain; charset=us-ascii");
  field("Content-Transfer-Encoding", "7bit");
  out += "\r\n";
  for (const std::string& line : m.body) {
    // A line break inside a line (CR LF, CR or LF) starts a new line.
    const std::string one_break = text::replace_all(text::replace_all(line, "\r\n", "\n"), "\r", "\n");
    for (const char c : one_break) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '\n')
        out += "\r\n";
      else if (u > 126 || (u < 32 && c != '\t'))
        out += '?';
      else
        out += c;
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace cirrodex
