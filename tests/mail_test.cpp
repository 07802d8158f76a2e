// The mail component: the server text, the checks that keep settings out
// of the header, the message text, the status line of its events, and the
// libcurl adapter against a real SMTP server on 127.0.0.1 (aiosmtpd): the
// alarm mail end to end, dot-stuffing, a refused connection, a refused
// recipient and a server that demands a login.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "conditions/temperature_alarm.h"
#include "platform/curl_mail.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_sound.h"
#include "platform/fakes/memory_settings_store.h"
#include "support/local_server.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

TEST(MailServerText, HostAndPort) {
  struct Row {
    const char* text;
    const char* host;
    int port;
  };
  for (const Row& row : {Row{"mail.example.org", "mail.example.org", 25}, Row{" relay:2525 ", "relay", 2525},
                         Row{"127.0.0.1:587", "127.0.0.1", 587}, Row{"[::1]:2525", "::1", 2525},
                         Row{"[::1]", "::1", 25}, Row{"smtp_relay", "smtp_relay", 25}}) {
    const std::optional<MailServer> server = parse_mail_server(row.text);
    ASSERT_TRUE(server) << row.text;
    EXPECT_EQ(server->host, row.host) << row.text;
    EXPECT_EQ(server->port, row.port) << row.text;
  }
  for (const char* bad : {"", "  ", "relay:", "relay:0", "relay:65536", "relay:25x", "::1", "[::1", "[]:25",
                          "mail.example.org\r\nRCPT TO:<x>", "bad host", "a/b", "a@b"}) {
    EXPECT_FALSE(parse_mail_server(bad)) << bad;
  }
}

MailMessage alarm_message() {
  MailMessage m;
  m.from_address = m.reply_to = "me@example.org";
  m.recipients = {"you@example.org"};
  m.body = {"Cirrodex Alarm!"};
  return m;
}

TEST(MailMessageCheck, NoHeaderInjection) {
  struct Row {
    const char* name;
    void (*change)(MailMessage&);
    std::optional<MailEvent> problem;
  };
  const Row rows[] = {
      {"as it is", [](MailMessage&) {}, std::nullopt},
      {"no sender", [](MailMessage& m) { m.from_address.clear(); }, MailEvent::HeaderIncomplete},
      {"no recipient", [](MailMessage& m) { m.recipients.clear(); }, MailEvent::HeaderIncomplete},
      {"line break in the sender", [](MailMessage& m) { m.from_address = "me@example.org\r\nBcc: x@evil.test"; },
       MailEvent::Failure},
      {"line feed in the recipient", [](MailMessage& m) { m.recipients = {"you@example.org\nSubject: hi"}; },
       MailEvent::Failure},
      {"two recipients in one", [](MailMessage& m) { m.recipients = {"you@example.org, x@evil.test"}; },
       MailEvent::Failure},
      {"angle brackets", [](MailMessage& m) { m.recipients = {"you@example.org> <x@evil.test"}; }, MailEvent::Failure},
      {"line break in the reply address", [](MailMessage& m) { m.reply_to = "me@example.org\r"; }, MailEvent::Failure},
      {"line break in the subject", [](MailMessage& m) { m.subject = "Alarm\r\nBcc: x@evil.test"; },
       MailEvent::Failure},
      {"line breaks in the body are fine", [](MailMessage& m) { m.body = {"a\r\nb"}; }, std::nullopt},
  };
  for (const Row& row : rows) {
    MailMessage m = alarm_message();
    row.change(m);
    EXPECT_EQ(message_problem(m), row.problem) << row.name;
  }
}

TEST(MailMessageText, HeadersAndAnAsciiBody) {
  MailMessage m = alarm_message();
  m.body = {"Z\xFCrich, 22\xB0 C", "two\rlines", "three\r\nlines\nhere", ".", ""};
  EXPECT_EQ(mail_message_text(m, "Fri, 11 Dec 2026 14:30:00 +0100"),
            "Date: Fri, 11 Dec 2026 14:30:00 +0100\r\n"
            "From: Cirrodex <me@example.org>\r\n"
            "Reply-To: me@example.org\r\n"
            "To: you@example.org\r\n"
            "Subject: Cirrodex Alarm\r\n"
            "X-Mailer: Cirrodex\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "Z?rich, 22? C\r\n"
            "two\r\nlines\r\n"
            "three\r\nlines\r\nhere\r\n"
            ".\r\n"
            "\r\n");
}

TEST(MailStatus, EveryEventHasItsTextAndPause) {
  struct Row {
    MailEvent event;
    Calls calls;
  };
  const Row rows[] = {
      {MailEvent::Connected, {"status: Connected..."}},
      {MailEvent::Disconnected, {"status: Disconnected...", "pause: 10"}},
      {MailEvent::HostResolved, {"status: Host resolved..."}},
      {MailEvent::PacketSent, {"status: Packet sent..."}},
      {MailEvent::SendStarted, {"status: Send started..."}},
      {MailEvent::Success, {"status: E-mail successfull.", "pause: 20"}},
      {MailEvent::AttachmentNotFound, {"status: Error - e-mail Attachment not found.", "pause: 1200"}},
      {MailEvent::AuthenticationFailed, {"status: Error - Authentication failed.", "pause: 1200"}},
      {MailEvent::ConnectionFailed, {"status: Error - Connection failed.", "pause: 1200"}},
      {MailEvent::ConnectionRequired, {"status: Error - Connection required.", "pause: 1200"}},
      {MailEvent::Failure, {"status: Error - e-mail failed.", "pause: 1200"}},
      {MailEvent::HeaderIncomplete, {"status: Error - e-mail header incomplete.", "pause: 1200"}},
      {MailEvent::InvalidHost, {"status: Error - Invalid host.", "pause: 1200"}},
      {MailEvent::RecipientNotFound, {"status: Error - e-mail recipient not found.", "pause: 1200"}},
  };
  for (const Row& row : rows) {
    fakes::CallLog log;
    fakes::FakeHost host{log};
    MailStatusLine status(host);
    status.on_event(row.event);
    EXPECT_EQ(log.entries, row.calls) << row.calls.front();
  }
  fakes::CallLog log;
  fakes::FakeHost host{log};
  MailStatusLine(host).on_status("250 OK");
  EXPECT_EQ(log.entries, (Calls{"status: E-mail status:250 OK", "pause: 10"}));
}

// --- against a real server ----------------------------------------------------

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

// A port on 127.0.0.1 where nothing listens.
int closed_port() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(s);
  return ntohs(a.sin_port);
}

TEST(CurlMail, AnExitEndsACallThatWaitsForTheServer) {
  // A server that takes the connection and never greets.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  socklen_t len = sizeof a;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);

  fakes::CallLog log;
  fakes::FakeHost host{log};
  MailStatusLine events(host);
  int rounds = 0;
  CurlMail* running = nullptr;
  CurlMail mail([&] {
    if (++rounds == 5) running->abort();  // the window closes while the call waits
  });
  running = &mail;
  mail.abort();  // idle: nothing to end, the next call runs
  std::optional<MailEvent> failure;
  try {
    mail.connect("127.0.0.1:" + std::to_string(ntohs(a.sin_port)), events);
  } catch (const MailError& e) {
    failure = e.event();
  }
  ::close(listener);
  EXPECT_EQ(rounds, 5);
  EXPECT_EQ(failure, MailEvent::ConnectionFailed);
  EXPECT_EQ(log.with_prefix("status: Error"), Calls{"status: Error - Connection failed."});
}

class SmtpServer : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = fs::path(::testing::TempDir()) / ("smtp-" + std::to_string(::getpid()));
    fs::remove_all(out_);
    fs::create_directories(out_);
  }
  void TearDown() override {
    server_.stop();
    fs::remove_all(out_);
  }
  // Starts the server; false when it did not (the test is then skipped
  // without aiosmtpd, failed otherwise).
  bool start(std::vector<std::string> options = {}) {
    options.insert(options.begin(), out_.string());
    if (server_.start(options)) return true;
    skip_or_fail();
    return false;
  }
  void skip_or_fail() {
    if (server_.unavailable()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
    FAIL() << "the SMTP server did not start: " << server_.why();
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(server_.port()); }
  // The n-th message the server took, split in its envelope and content.
  std::pair<std::string, std::string> message(int n) const {
    const std::string all = read_file(out_ / ("message-" + std::to_string(n) + ".txt"));
    const std::size_t blank = all.find("\n\n");
    if (blank == std::string::npos) return {};
    return {all.substr(0, blank + 1), all.substr(blank + 2)};
  }
  int sessions() const {
    const std::string s = read_file(out_ / "sessions.txt");
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
  }
  bool any_message() const { return fs::exists(out_ / "message-1.txt"); }
  // A self-signed certificate for 127.0.0.1 (cert.pem, key.pem); false
  // when openssl could not make one.
  bool make_certificate() const {
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -addext "
        "subjectAltName=IP:127.0.0.1 -keyout " +
        (out_ / "key.pem").string() + " -out " + (out_ / "cert.pem").string() + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
  std::string certificate() const { return (out_ / "cert.pem").string(); }
  std::string tls_log() const { return read_file(out_ / "tls.txt"); }

  testing::LocalServer server_{CIRRODEX_SMTP_SERVER};
  fs::path out_;
};

struct AlarmOnRealMail {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakeSound sound{log};
  CurlMail mail{nullptr};
  MailStatusLine events{host};
  Settings settings{store, host, KeyCheck::Strict};
  Services services{"maker_web = http://maker.test\n"};
  AlarmPorts ports{settings, host, display, sound, mail, events, services};

  explicit AlarmOnRealMail(const std::string& server) {
    display.set_caption("Cirrodex - Tuscaloosa, AL");
    settings.set("AlarmType", "email");
    settings.set("AlarmTemp", "70");
    settings.set("AlarmTempCompare", "exceeds");
    settings.set("Ahost", server);
    settings.set("AUserEmail", "me@example.org");
    settings.set("AsendtoE", "you@example.org");
  }
  void check() {
    Readings r;
    r.Temperature =
        "72\xB0"
        "F";
    check_temperature_alarm(r, ports);
  }
  // Whether the entries appear in this order (others may come between).
  bool in_order(const Calls& wanted) const {
    std::size_t at = 0;
    for (const std::string& e : log.entries)
      if (at < wanted.size() && e == wanted[at]) ++at;
    return at == wanted.size();
  }
};

TEST_F(SmtpServer, TheAlarmMailArrivesWithItsEnvelopeHeadersAndBody) {
  if (!start()) return;
  AlarmOnRealMail alarm(address());
  alarm.check();

  EXPECT_TRUE(alarm.in_order({"slot TEXT_STATUSBAR=Sending Alarm Message...", "status: Host resolved...",
                              "status: Connected...", "status: Send started...", "status: Packet sent...",
                              "status: E-mail successfull.", "status: Disconnected...",
                              "slot TEXT_STATUSBAR=Alarm Message sent!", "pause: 1000"}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_EQ(alarm.log.with_prefix("status: E-mail status:220").size(), 1u);
  EXPECT_EQ(alarm.log.with_prefix("beep").size(), 0u);
  // One connection serves the NOOP of connect and the message.
  EXPECT_EQ(alarm.mail.last_new_connections(), 0);
  EXPECT_EQ(sessions(), 1);

  const auto [envelope, content] = message(1);
  EXPECT_EQ(envelope, "MAIL FROM:<me@example.org>\nRCPT TO:<you@example.org>\n");
  const std::vector<std::string> lines = split_lines(content);
  const auto blank = std::find(lines.begin(), lines.end(), "");
  ASSERT_NE(blank, lines.end());
  const std::vector<std::string> headers(lines.begin(), blank);
  for (const char* h : {"From: Cirrodex <me@example.org>", "Reply-To: me@example.org", "To: you@example.org",
                        "Subject: Cirrodex Alarm", "X-Mailer: Cirrodex", "Content-Type: text/plain; charset=us-ascii"})
    EXPECT_NE(std::find(headers.begin(), headers.end(), h), headers.end()) << h;
  EXPECT_TRUE(headers.front().starts_with("Date: ")) << headers.front();
  EXPECT_EQ(std::vector<std::string>(blank + 1, lines.end()),
            alarm_mail_body("exceeds", "70", "72", "Cirrodex - Tuscaloosa, AL",
                            "http://maker.test/html/software/Cirrodex.html"));
}

TEST_F(SmtpServer, StartTlsIsTakenWheneverTheServerOffersIt) {
  if (!make_certificate()) GTEST_SKIP() << "openssl could not make a certificate";
  if (!start({"--tls", certificate(), (out_ / "key.pem").string()})) return;
  AlarmOnRealMail alarm(address());
  alarm.mail.set_ca_file(certificate());
  alarm.check();
  EXPECT_TRUE(alarm.in_order({"status: Connected...", "status: E-mail successfull.", "status: Disconnected...",
                              "slot TEXT_STATUSBAR=Alarm Message sent!"}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_EQ(alarm.log.with_prefix("status: E-mail status:220 Ready to start TLS").size(), 1u);
  EXPECT_EQ(tls_log(), "tls\n");
  EXPECT_EQ(alarm.mail.last_new_connections(), 0);
}

TEST_F(SmtpServer, ACertificateThatDoesNotCheckOutSendsNothing) {
  if (!make_certificate()) GTEST_SKIP() << "openssl could not make a certificate";
  if (!start({"--tls", certificate(), (out_ / "key.pem").string()})) return;
  AlarmOnRealMail alarm(address());  // the system's certificates know no such server
  alarm.check();
  EXPECT_TRUE(alarm.in_order({"status: Connected...", "status: Error - e-mail failed.", "pause: 1200", "beep",
                              "slot TEXT_STATUSBAR=Error sending e-mail message (Alarm)."}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_FALSE(any_message());
}

TEST_F(SmtpServer, ALoneDotLineIsStuffedAndArrivesWhole) {
  if (!start()) return;
  fakes::CallLog log;
  fakes::FakeHost host{log};
  MailStatusLine events(host);
  CurlMail mail(nullptr);
  MailMessage m = alarm_message();
  m.body = {"before", ".", "..two", ".end", "after"};
  mail.connect(address(), events);
  mail.send(m, events);
  mail.disconnect(events);
  const std::string content = message(1).second;
  EXPECT_NE(content.find("\r\n\r\nbefore\r\n.\r\n..two\r\n.end\r\nafter\r\n"), std::string::npos) << content;
}

TEST_F(SmtpServer, ARefusedConnectionFails) {
  AlarmOnRealMail alarm("127.0.0.1:" + std::to_string(closed_port()));
  alarm.check();
  EXPECT_TRUE(alarm.in_order({"slot TEXT_STATUSBAR=Sending Alarm Message...", "status: Error - Connection failed.",
                              "pause: 1200", "beep", "slot TEXT_STATUSBAR=Error sending e-mail message (Alarm).",
                              "pause: 2000"}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_EQ(alarm.log.entries.back(), "pause: 2000");
}

TEST_F(SmtpServer, ARefusedRecipientFails) {
  if (!start({"--reject-rcpt"})) return;
  AlarmOnRealMail alarm(address());
  alarm.check();
  EXPECT_TRUE(alarm.in_order({"status: Connected...", "status: Send started...",
                              "status: E-mail status:550 5.1.1 <you@example.org>: Recipient address rejected: User "
                              "unknown",
                              "status: Error - e-mail recipient not found.", "pause: 1200", "beep",
                              "slot TEXT_STATUSBAR=Error sending e-mail message (Alarm).", "pause: 2000"}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_FALSE(any_message());
}

TEST_F(SmtpServer, AServerThatDemandsALoginFails) {
  if (!start({"--auth-required"})) return;
  AlarmOnRealMail alarm(address());
  alarm.check();
  EXPECT_TRUE(alarm.in_order({"status: Connected...", "status: Error - Authentication failed.", "pause: 1200", "beep",
                              "slot TEXT_STATUSBAR=Error sending e-mail message (Alarm)."}))
      << ::testing::PrintToString(alarm.log.entries);
  EXPECT_FALSE(any_message());
}

TEST_F(SmtpServer, NothingGoesOutForABadServerNameOrABadHeader) {
  if (!start()) return;
  fakes::CallLog log;
  fakes::FakeHost host{log};
  MailStatusLine events(host);
  CurlMail mail(nullptr);
  auto failure_of = [](const std::function<void()>& call) -> std::optional<MailEvent> {
    try {
      call();
    } catch (const MailError& e) {
      return e.event();
    }
    return std::nullopt;
  };
  EXPECT_EQ(failure_of([&] { mail.connect("bad host", events); }), MailEvent::InvalidHost);
  EXPECT_EQ(failure_of([&] { mail.send(alarm_message(), events); }), MailEvent::ConnectionRequired);
  mail.connect(address(), events);
  MailMessage injected = alarm_message();
  injected.from_address = "me@example.org>\r\nRCPT TO:<x@evil.test";
  EXPECT_EQ(failure_of([&] { mail.send(injected, events); }), MailEvent::Failure);
  mail.disconnect(events);
  EXPECT_FALSE(any_message());
  EXPECT_EQ(log.with_prefix("status: Error"),
            (Calls{"status: Error - Invalid host.", "status: Error - Connection required.",
                   "status: Error - e-mail failed."}));
}

}  // namespace
}  // namespace cirrodex
