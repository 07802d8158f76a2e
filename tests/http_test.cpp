// The libcurl transfer component against real servers on 127.0.0.1 (a
// Python child process per suite), and the scripted fake.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/curl_http.h"
#include "platform/fakes/fake_http.h"
#include "platform/text.h"
#include "support/local_server.h"
#ifdef CIRRODEX_HTTP_QT
#include "platform/qt/system_proxy.h"
#endif

namespace cirrodex {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// What /plain and /chunked serve.
std::string plain_body() {
  std::string body;
  char line[16];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(line, sizeof line, "line %05d\n", i);
    body += line;
  }
  return body;
}

using LocalServer = testing::LocalServer;

// A socket bound on 127.0.0.1 that does not listen: connections to its
// port are refused for as long as it lives.
class DeadPort {
 public:
  DeadPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  DeadPort(const DeadPort&) = delete;
  DeadPort& operator=(const DeadPort&) = delete;
  ~DeadPort() { ::close(fd_); }
  int port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

// Sets (or with nullopt unsets) an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The events of one GET. Status texts become the phase phrase callers look
// for; runs of headers and of pieces show once in sequence().
struct Recorder : HttpEvents {
  std::vector<std::string> log;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::int64_t bytes = 0;
  bool bytes_add_up = true;
  bool keep_body = true;
  int errors = 0, ends = 0;
  int error_code = 0;
  std::string error_text;
  std::function<void()> on_piece;

  void on_start() override { log.push_back("start"); }
  void on_status(const std::string& t) override {
    for (const char* phrase : {"Looking up IP", "Connecting to the sock", "Waiting for the", "Successfully rec"})
      if (t.find(phrase) != std::string::npos) return log.push_back(std::string("status: ") + phrase);
    log.push_back("status: " + t);
  }
  void on_connected(const std::string&) override { log.push_back("connected"); }
  void on_header(const std::string& f, const std::string& v) override {
    headers.emplace_back(f, v);
    log.push_back("header");
  }
  void on_transfer(std::int64_t so_far, std::string_view piece) override {
    bytes_add_up = bytes_add_up && so_far == bytes + static_cast<std::int64_t>(piece.size());
    bytes = so_far;
    if (keep_body) body += piece;
    log.push_back("transfer");
    if (on_piece) on_piece();
  }
  void on_end() override {
    ++ends;
    log.push_back("end");
  }
  void on_error(int code, const std::string& text) override {
    ++errors;
    error_code = code;
    error_text = text;
    log.push_back("error");
  }
  void on_disconnected(const std::string&) override { log.push_back("disconnected"); }

  std::vector<std::string> sequence() const {
    std::vector<std::string> out;
    for (const auto& e : log)
      if (out.empty() || out.back() != e || (e != "header" && e != "transfer")) out.push_back(e);
    return out;
  }
  // The values of a field, compared in capitals as the callers do.
  std::vector<std::string> header(const std::string& field) const {
    std::vector<std::string> out;
    for (const auto& [f, v] : headers)
      if (text::upper(f) == text::upper(field)) out.push_back(v);
    return out;
  }
};

const std::vector<std::string> kSuccess = {"start",
                                           "status: Looking up IP",
                                           "status: Connecting to the sock",
                                           "connected",
                                           "status: Waiting for the",
                                           "status: Successfully rec",
                                           "header",
                                           "transfer",
                                           "end",
                                           "disconnected"};

struct Recorded {
  std::string path, referer, agent, authorization, proxy_authorization;
};

class HttpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new LocalServer;
    if (!server_->start({})) std::fprintf(stderr, "http server: %s\n", server_->why().c_str());
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (server_->port() <= 0) GTEST_FAIL() << "the test server did not start: " << server_->why();
    take_requests();
  }

  static std::string url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server_->port()) + path;
  }
  static HttpRequest request(const std::string& path, int timeout_ms = 10000) {
    HttpRequest r;
    r.url = url(path);
    r.timeout_ms = timeout_ms;
    return r;
  }

  // The requests the server saw since the last call, by a plain socket so
  // the component under test reads none of its own evidence.
  static std::vector<Recorded> take_requests() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(server_->port()));
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      const std::string ask = "GET /_requests HTTP/1.0\r\n\r\n";
      if (::send(fd, ask.data(), ask.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(ask.size())) {
        char buf[4096];
        for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
      }
    }
    ::close(fd);
    std::vector<Recorded> out;
    const std::size_t start = reply.find("\r\n\r\n");
    EXPECT_NE(start, std::string::npos) << "no answer from /_requests";
    if (start == std::string::npos) return out;
    std::istringstream lines(reply.substr(start + 4));
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> f;
      std::istringstream cols(line);
      for (std::string c; std::getline(cols, c, '\t');) f.push_back(c);
      f.resize(5);
      out.push_back({f[0], f[1], f[2], f[3], f[4]});
    }
    return out;
  }

  static std::vector<std::string> paths(const std::vector<Recorded>& rs) {
    std::vector<std::string> out;
    for (const auto& r : rs) out.push_back(r.path);
    return out;
  }

  // Runs a GET that must fail; checks the error event matches the throw.
  void expect_failure(CurlHttpTransfer& t, const HttpRequest& r, Recorder& ev) {
    bool thrown = false;
    try {
      t.get(r, ev);
    } catch (const TransferError& e) {
      thrown = true;
      EXPECT_EQ(e.code(), ev.error_code);
      EXPECT_EQ(e.what(), ev.error_text);
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(ev.errors, 1);
    EXPECT_EQ(ev.ends, 0);
    EXPECT_FALSE(t.busy());
  }

  static LocalServer* server_;
  int pumps_ = 0;
  std::function<void()> pump_hook_;
  CurlHttpTransfer http_{[this] {
    ++pumps_;
    if (pump_hook_) pump_hook_();
  }};
};

LocalServer* HttpTest::server_ = nullptr;

TEST_F(HttpTest, EventsComeInOrderAndThePiecesAreTheBody) {
  struct Case {
    const char* path;
    std::vector<std::string> content_length;
  } cases[] = {{"/plain", {"11000"}}, {"/chunked", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Recorder ev;
    http_.get(request(c.path), ev);
    EXPECT_THAT(ev.sequence(), ElementsAreArray(kSuccess));
    EXPECT_EQ(ev.body, plain_body());
    EXPECT_TRUE(ev.bytes_add_up);
    EXPECT_EQ(ev.header("Content-Length"), c.content_length);
    EXPECT_THAT(ev.header("Content-Type"), ElementsAre("text/plain"));
    EXPECT_FALSE(http_.busy());
  }
}

TEST_F(HttpTest, FailuresGiveOneErrorEventAndThrow) {
  DeadPort dead;
  struct Case {
    std::string url;
    int timeout_ms;
    std::string text;  // part of the description
    bool pieces;       // whether any body may arrive first
  } cases[] = {
      {url("/404"), 10000, "404 Not Found", false},
      {url("/stall"), 500, "Timeout", false},
      {url("/truncated"), 10000, "partial", true},
      {url("/huge"), 10000, "larger than 64 MB", true},
      {url("/huge-length"), 10000, "larger than 64 MB", false},
      {url("/redirect/11"), 10000, "Too many redirects", false},
      {url("/go?to=file:///etc/passwd"), 10000, "\"file\"", false},
      {"http://127.0.0.1:" + std::to_string(dead.port()) + "/", 10000, "connect", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    Recorder ev;
    ev.keep_body = false;
    HttpRequest r;
    r.url = c.url;
    r.timeout_ms = c.timeout_ms;
    const auto began = Clock::now();
    expect_failure(http_, r, ev);
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(5));
    EXPECT_THAT(ev.error_text, HasSubstr(c.text));
    EXPECT_LE(ev.bytes, kMaxBodyBytes);
    if (!c.pieces) {
      EXPECT_EQ(ev.bytes, 0);
    }
    EXPECT_EQ(ev.log.front(), "start");
  }
}

TEST_F(HttpTest, TheTimeoutCutsAStalledServerWhileThePumpKeepsRunning) {
  Recorder ev;
  expect_failure(http_, request("/stall", 500), ev);
  EXPECT_EQ(ev.error_code, 28);  // CURLE_OPERATION_TIMEDOUT
  // Headers came, so the phases up to the response did too.
  EXPECT_THAT(ev.sequence(),
              ElementsAre("start", "status: Looking up IP", "status: Connecting to the sock", "connected",
                          "status: Waiting for the", "status: Successfully rec", "header", "error", "disconnected"));
  EXPECT_GE(pumps_, 3);  // half a second of waiting is many pump rounds
}

TEST_F(HttpTest, RedirectsAreFollowedAndOnlyTheDocumentsHeadersReported) {
  Recorder ev;
  http_.get(request("/redirect/10"), ev);
  EXPECT_EQ(ev.body, plain_body());
  EXPECT_EQ(ev.header("Content-Length"), std::vector<std::string>{"11000"});
  EXPECT_THAT(ev.header("Location"), IsEmpty());
  EXPECT_EQ(take_requests().size(), 11u);
}

TEST_F(HttpTest, RefererUserAgentAndSiteLoginAreSentExactly) {
  struct Case {
    std::string referer, agent, user, password;
    Recorded want;
  } cases[] = {
      {"Cirrodex_by_Velmoraworks",
       "Cirrodex HTTP Control",
       "weather",
       "s3cret",
       {"/plain", "Cirrodex_by_Velmoraworks", "Cirrodex HTTP Control", "Basic d2VhdGhlcjpzM2NyZXQ=", "<none>"}},
      {"", "", "", "", {"/plain", "<none>", "<none>", "<none>", "<none>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    HttpRequest r = request("/plain");
    r.referer = c.referer;
    r.user_agent = c.agent;
    r.site_user = c.user;
    r.site_password = c.password;
    Recorder ev;
    http_.get(r, ev);
    const auto seen = take_requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, c.want.path);
    EXPECT_EQ(seen[0].referer, c.want.referer);
    EXPECT_EQ(seen[0].agent, c.want.agent);
    EXPECT_EQ(seen[0].authorization, c.want.authorization);
  }
}

TEST_F(HttpTest, AbortFromAHandlerOrThePumpEndsTheTransfer) {
  // A chunked page comes in many pieces at once: none may follow the abort.
  struct Case {
    const char* where;
    const char* path;
    bool from_pump;
  } cases[] = {{"handler", "/chunked", false}, {"pump", "/slow", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    Recorder ev;
    if (c.from_pump)
      pump_hook_ = [&] {
        if (ev.bytes > 0) http_.abort();
      };
    else
      ev.on_piece = [&] { http_.abort(); };
    const auto began = Clock::now();
    expect_failure(http_, request(c.path), ev);
    pump_hook_ = nullptr;
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(3));  // the slow page takes 4 s
    EXPECT_THAT(ev.error_text, HasSubstr("Aborted"));
    const auto pieces = std::count(ev.log.begin(), ev.log.end(), "transfer");
    if (c.from_pump) {
      EXPECT_GT(ev.bytes, 0);
      EXPECT_LT(ev.bytes, 20000);
    } else {
      EXPECT_EQ(pieces, 1);
    }

    Recorder again;
    http_.get(request("/plain"), again);
    EXPECT_EQ(again.body, plain_body());
  }
}

TEST_F(HttpTest, AGetWhileBusyThrowsAtOnceAndTheRunningOneGoesOn) {
  Recorder outer, inner;
  bool thrown = false;
  outer.on_piece = [&] {
    if (thrown) return;
    EXPECT_TRUE(http_.busy());
    try {
      http_.get(request("/plain"), inner);
    } catch (const TransferError&) {
      thrown = true;
    }
  };
  http_.get(request("/chunked"), outer);
  EXPECT_TRUE(thrown);
  EXPECT_THAT(inner.log, IsEmpty());
  EXPECT_EQ(outer.body, plain_body());
  EXPECT_EQ(outer.ends, 1);
  EXPECT_THAT(paths(take_requests()), ElementsAre("/chunked"));
}

TEST_F(HttpTest, AHandlerThatThrowsLeavesTheComponentIdle) {
  Recorder ev;
  ev.on_piece = [] { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(http_.get(request("/slow"), ev), std::runtime_error);
  EXPECT_FALSE(http_.busy());
  Recorder again;
  http_.get(request("/plain"), again);
  EXPECT_EQ(again.body, plain_body());
}

// In a fresh working folder, as the program keeps its data folder current.
class HttpFileTest : public HttpTest {
 protected:
  void SetUp() override {
    HttpTest::SetUp();
    old_ = fs::current_path();
    char tmpl[] = "/tmp/cirrodex-http-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    return out;
  }
  static std::string read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path old_, dir_;
};

TEST_F(HttpFileTest, TheBodyReplacesTheFileOnlyOnSuccess) {
  HttpRequest r = request("/plain");
  Recorder none;
  http_.get(r, none);  // no local file: nothing is written
  EXPECT_THAT(files(), IsEmpty());

  std::ofstream("page.html") << "old";
  for (const char* path : {"/404", "/truncated"}) {
    SCOPED_TRACE(path);
    r = request(path);
    r.local_file = "page.html";
    Recorder ev;
    expect_failure(http_, r, ev);
    EXPECT_EQ(read("page.html"), "old");
    EXPECT_THAT(files(), ElementsAre("page.html"));
  }

  r = request("/chunked");
  r.local_file = "page.html";
  Recorder ev;
  http_.get(r, ev);
  EXPECT_EQ(read("page.html"), plain_body());
  EXPECT_EQ(ev.body, plain_body());
  EXPECT_THAT(ev.sequence(), ElementsAreArray(kSuccess));
  EXPECT_THAT(files(), ElementsAre("page.html"));
}

TEST_F(HttpFileTest, ANameWithAFolderIsRefusedBeforeAnyRequest) {
  for (const std::string& name : {std::string("../cirrodex-escaped"), std::string("a/b"), std::string("/tmp/x"),
                                  std::string("."), std::string(".."), std::string("  "), std::string("a\0b", 3)}) {
    SCOPED_TRACE(name);
    HttpRequest r = request("/plain");
    r.local_file = name;
    Recorder ev;
    expect_failure(http_, r, ev);
    EXPECT_THAT(ev.log, ElementsAre("error"));
    EXPECT_THAT(ev.error_text, HasSubstr("file name"));
  }
  EXPECT_THAT(take_requests(), IsEmpty());
  EXPECT_THAT(files(), IsEmpty());
  EXPECT_FALSE(fs::exists(dir_.parent_path() / "cirrodex-escaped"));
}

TEST_F(HttpTest, ProxySettingsDecideWhereTheRequestGoes) {
  const std::string port = std::to_string(server_->port());
  const std::string far = "http://weather.invalid/plain";  // resolvable only by the proxy
  ProxySettings manual_port{ProxySettings::Mode::Manual, "127.0.0.1", server_->port(), "pu", "pp"};
  ProxySettings manual_text{ProxySettings::Mode::Manual, "127.0.0.1:" + port, 0, "", ""};
  ProxySettings system{ProxySettings::Mode::System, "", 0, "", ""};
  std::vector<std::string> asked;
  std::string system_answer;
  http_.set_system_proxy([&](const std::string& u) {
    asked.push_back(u);
    return system_answer;
  });
  struct Case {
    const char* name;
    ProxySettings proxy;
    std::string url, answer;
    Recorded want;
  } cases[] = {
      {"manual, port apart", manual_port, far, "", {far, "", "", "", "Basic cHU6cHA="}},
      {"manual, port in host", manual_text, far, "", {far, "", "", "", "<none>"}},
      {"system proxy", system, far, "http://127.0.0.1:" + port, {far, "", "", "", "<none>"}},
      {"system, direct", system, url("/plain"), "", {"/plain", "", "", "", "<none>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    asked.clear();
    system_answer = c.answer;
    HttpRequest r;
    r.url = c.url;
    r.timeout_ms = 10000;
    r.proxy = c.proxy;
    Recorder ev;
    http_.get(r, ev);
    EXPECT_EQ(ev.body, plain_body());
    const auto seen = take_requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, c.want.path);
    EXPECT_EQ(seen[0].proxy_authorization, c.want.proxy_authorization);
    EXPECT_EQ(asked, c.proxy.mode == ProxySettings::Mode::System ? std::vector<std::string>{c.url}
                                                                 : std::vector<std::string>{});
  }
}

TEST_F(HttpTest, DirectIgnoresTheEnvironmentWhichSystemWithoutResolverFollows) {
  DeadPort dead;
  const ScopedEnv proxy("http_proxy", "http://127.0.0.1:" + std::to_string(dead.port()));
  const ScopedEnv no1("no_proxy", std::nullopt), no2("NO_PROXY", std::nullopt);

  Recorder direct;
  http_.get(request("/plain"), direct);
  EXPECT_EQ(direct.body, plain_body());

  HttpRequest r = request("/plain");
  r.proxy.mode = ProxySettings::Mode::System;
  Recorder env;
  expect_failure(http_, r, env);  // went to the dead proxy
  EXPECT_THAT(paths(take_requests()), ElementsAre("/plain"));
}

#ifdef CIRRODEX_HTTP_QT
TEST_F(HttpTest, TheDesktopsProxyServesSystemMode) {
  const std::string far = "http://weather.invalid/plain";
  const ScopedEnv no1("no_proxy", std::nullopt), no2("NO_PROXY", std::nullopt), all("all_proxy", std::nullopt);
  {
    const ScopedEnv none("http_proxy", std::nullopt);
    EXPECT_EQ(system_proxy_for(far), "");
  }
  const std::string proxy = "http://127.0.0.1:" + std::to_string(server_->port());
  const ScopedEnv set("http_proxy", proxy);
  EXPECT_EQ(system_proxy_for(far), proxy);

  http_.set_system_proxy(system_proxy_for);
  HttpRequest r;
  r.url = far;
  r.timeout_ms = 10000;
  r.proxy.mode = ProxySettings::Mode::System;
  Recorder ev;
  http_.get(r, ev);
  EXPECT_EQ(ev.body, plain_body());
  EXPECT_THAT(paths(take_requests()), ElementsAre(far));
}
#endif

class FtpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/cirrodex-ftp-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::ofstream(dir_ / "report.txt") << plain_body();
    if (!server_.start({"ftp", dir_.string()})) {
      if (server_.unavailable()) GTEST_SKIP() << "pyftpdlib is not installed";
      GTEST_FAIL() << "the FTP server did not start: " << server_.why();
    }
    ASSERT_TRUE(web_.start({})) << web_.why();
  }
  void TearDown() override {
    server_.stop();
    web_.stop();
    fs::remove_all(dir_);
  }
  std::string url(const std::string& name) const {
    return "ftp://127.0.0.1:" + std::to_string(server_.port()) + "/" + name;
  }
  LocalServer server_, web_;
  fs::path dir_;
};

TEST_F(FtpTest, AFileComesWithItsSizeAndAMissingOneFails) {
  CurlHttpTransfer ftp(nullptr);
  HttpRequest r;
  r.url = url("report.txt");
  r.timeout_ms = 10000;
  Recorder ev;
  ftp.get(r, ev);
  EXPECT_EQ(ev.body, plain_body());
  EXPECT_EQ(ev.header("Content-Length"), std::vector<std::string>{"11000"});
  EXPECT_THAT(ev.sequence(), ElementsAreArray(kSuccess));

  // A web page may send the reader on to an FTP server.
  r.url = "http://127.0.0.1:" + std::to_string(web_.port()) + "/go?to=" + url("report.txt");
  Recorder moved;
  ftp.get(r, moved);
  EXPECT_EQ(moved.body, plain_body());

  r.url = url("missing.txt");
  Recorder missing;
  EXPECT_THROW(ftp.get(r, missing), TransferError);
  EXPECT_EQ(missing.errors, 1);
  EXPECT_EQ(missing.ends, 0);
}

TEST(FakeHttp, AnswersFromItsScriptAndRecordsTheRequests) {
  fakes::CallLog log;
  fakes::FakeHttpTransfer fake(log);
  fake.script("http://a/page", {{{"Content-Length", "6"}}, {"ab", "cd", "ef"}, {}, 0, {}, true});
  std::vector<std::string> ticks;
  fake.after_piece = [&](std::size_t i) {
    ticks.push_back(std::to_string(i));
    if (i == 1) fake.abort();
  };
  HttpRequest r;
  r.url = "http://a/page";
  r.referer = "tag";
  r.local_file = "page.html";
  Recorder ev;
  EXPECT_THROW(fake.get(r, ev), TransferError);
  EXPECT_EQ(ev.body, "abcd");
  EXPECT_THAT(ticks, ElementsAre("0", "1"));
  EXPECT_EQ(ev.error_text, "Connection Aborted");
  EXPECT_THAT(fake.files(), IsEmpty());

  fake.after_piece = nullptr;
  Recorder ok;
  fake.get(r, ok);
  EXPECT_THAT(ok.sequence(), ElementsAreArray(kSuccess));
  EXPECT_EQ(fake.files().at("page.html"), "abcdef");

  r.url = "http://a/other";
  Recorder unknown;
  EXPECT_THROW(fake.get(r, unknown), TransferError);
  EXPECT_EQ(unknown.error_text, "404 Not Found");
  EXPECT_THAT(unknown.log, ElementsAre("start", "error"));

  EXPECT_THAT(log.entries, ElementsAre("get: http://a/page", "get: http://a/page", "get: http://a/other"));
  ASSERT_EQ(fake.requests().size(), 3u);
  EXPECT_EQ(fake.requests()[0].referer, "tag");
  EXPECT_FALSE(fake.busy());
}

}  // namespace
}  // namespace cirrodex
