// cirrodex-service end to end: the real binary on 127.0.0.1, its services
// file pointing at a stand-in for the NOAA hosts (tests/support/noaa_server.py
// serving the recorded files of tests/data/service), and clients over
// plain sockets: every address form, its documents read back by the
// program's parser, bad bytes, a burst of concurrent clients, slow clients
// and clients that leave half way.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/version.h"
#include "support/local_server.h"
#include "support/parser_rig.h"

namespace cirrodex::service {
namespace {

constexpr int kHeadTimeoutSeconds = 3;

// A connected client socket; closed on destruction.
class Client {
 public:
  explicit Client(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;
  ~Client() { close(); }
  bool connected() const { return fd_ >= 0; }
  void send(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t n = ::send(fd_, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
      if (n <= 0) return;
      at += static_cast<std::size_t>(n);
    }
  }
  // Everything until the server closes, or what came within the wait.
  std::string receive_all(std::chrono::seconds wait = std::chrono::seconds(20)) {
    std::string all;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      all.append(buffer, static_cast<std::size_t>(n));
    }
    return all;
  }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct Answer {
  int status = 0;
  std::string head, body;
  std::string header(const std::string& name) const {
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return "<none>";
    const std::size_t from = at + name.size() + 4;
    return head.substr(from, head.find("\r\n", from) - from);
  }
};

Answer parse(const std::string& raw) {
  Answer a;
  const std::size_t end = raw.find("\r\n\r\n");
  if (raw.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) return a;
  a.status = std::atoi(raw.c_str() + 9);
  a.head = raw.substr(0, end + 2);
  a.body = raw.substr(end + 4);
  return a;
}

Answer talk(int port, const std::string& request) {
  Client c(port);
  c.send(request);
  return parse(c.receive_all());
}

Answer get(int port, const std::string& path, const std::string& method = "GET") {
  return talk(port, method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: test\r\n\r\n");
}

// The service binary as a child process.
class ServiceProcess {
 public:
  bool start(const std::string& config_home, const std::string& log_file) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return false;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
      ::dup2(out[1], STDOUT_FILENO);
      const int log = ::open(log_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(log, STDERR_FILENO);
      const std::string timeout = std::to_string(kHeadTimeoutSeconds);
      ::execl(CIRRODEX_SERVICE_BINARY, CIRRODEX_SERVICE_BINARY, "--listen", "127.0.0.1:0", "--workers", "4",
              "--head-timeout", timeout.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{out[0], POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buffer[128];
      const ssize_t n = ::read(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    first_line_ = line;
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) return false;
    port_ = std::atoi(line.c_str() + prefix.size());
    return port_ > 0;
  }
  // SIGTERM; the exit status, or -1 when it did not end by itself.
  int stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      ::poll(nullptr, 0, 50);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
  }
  ~ServiceProcess() { stop(); }
  int port() const { return port_; }
  const std::string& first_line() const { return first_line_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string first_line_;
};

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class ServiceEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(std::filesystem::temp_directory_path() /
                           ("cirrodex-service-e2e-" + std::to_string(::getpid())));
    std::filesystem::create_directories(*dir_ + "/cirrodex");
    upstream_ = new testing::LocalServer(CIRRODEX_NOAA_SERVER);
    ASSERT_TRUE(upstream_->start({std::string(CIRRODEX_TEST_DATA) + "/service"})) << upstream_->why();
    const std::string host = "http://127.0.0.1:" + std::to_string(upstream_->port());
    std::ofstream(*dir_ + "/cirrodex/services.conf")
        << "observations = " << host << "\nobservations_api = " << host << "\nzone_forecasts = " << host << "\n";
    service_ = new ServiceProcess;
    ASSERT_TRUE(service_->start(*dir_, log_path())) << service_->first_line();
  }
  static void TearDownTestSuite() {
    delete service_;
    delete upstream_;
    std::filesystem::remove_all(*dir_);
    delete dir_;
  }
  static std::string log_path() { return *dir_ + "/service.log"; }
  static int port() { return service_->port(); }
  // The upstream paths asked since the last call.
  static std::string upstream_requests() { return talk(upstream_->port(), "GET /_requests HTTP/1.0\r\n\r\n").body; }

  static std::string* dir_;
  static testing::LocalServer* upstream_;
  static ServiceProcess* service_;
};

std::string* ServiceEndToEnd::dir_ = nullptr;
testing::LocalServer* ServiceEndToEnd::upstream_ = nullptr;
ServiceProcess* ServiceEndToEnd::service_ = nullptr;

TEST_F(ServiceEndToEnd, AnswersEveryAddressForm) {
  struct Case {
    std::string path;
    int status;
    std::string type;
    std::string contains;
  };
  const std::string html = "text/html; charset=iso-8859-1", text = "text/plain; charset=iso-8859-1";
  const Case cases[] = {
      {"/auto/Cirrodex/AL/Muscle_Shoals.html", 200, html, "Observed at North West Alabama Regional Airport (KMSL)"},
      {"/auto/Cirrodex/AL/Muscle_Shoals.html", 200, html, ".TODAY...Sunny. Highs in the upper 30s."},
      {"/auto/raw/AL/Muscle_Shoals.html", 200, text, "|KMSL|North West Alabama Regional Airport|"},
      {"/auto/Cirrodex/35661", 200, html, "<title>Conditions: Muscle Shoals, Alabama Weather Forecast</title>"},
      {"/auto/raw/global/stations/07005.html", 200, text, "|LFOI|Abbeville|"},
      // Two stations without a file, then one whose file is stale: its API report.
      {"/auto/Cirrodex/AL/Huntsville.html", 200, html, "(KHSV)"},
      {"/auto/Cirrodex/AK/Adak.html", 502, text, "no current report for AK/Adak"},
      {"/auto/Cirrodex/AL/Nowhere_Special.html", 404, text, "unknown place AL/Nowhere_Special"},
      {"/auto/Cirrodex/global/stations/89606.html", 404, text, "no reporting station near WMO 89606"},
      {"/auto/Cirrodex/12345.html", 404, text, "404 Not Found"},
      {"/auto/Cirrodex/../../etc/passwd", 400, text, "dotted path"},
      {"/assets/cirrodexvs.txt", 200, text, "Version#" + std::string(kProgramVersion)},
      {"/assets/CirrodexCount.txt", 200, text, "Cirrodex"},
  };
  for (const Case& c : cases) {
    const Answer a = get(port(), c.path);
    EXPECT_EQ(a.status, c.status) << c.path << "\n" << a.body;
    EXPECT_EQ(a.header("Content-Type"), c.type) << c.path;
    EXPECT_EQ(a.header("Content-Length"), std::to_string(a.body.size())) << c.path;
    EXPECT_NE(a.header("Date"), "<none>") << c.path;
    EXPECT_EQ(a.header("Cache-Control").rfind("max-age=", 0), 0u) << c.path;
    EXPECT_EQ(a.header("Connection"), "close") << c.path;
    EXPECT_NE(a.body.find(c.contains), std::string::npos) << c.path << "\n" << a.body;
  }
  const Answer page = get(port(), "/auto/Cirrodex/AL/Muscle_Shoals.html");
  const int max_age = std::atoi(page.header("Cache-Control").c_str() + 8);
  EXPECT_GT(max_age, 0);
  EXPECT_LE(max_age, 600);
  // One log line per request.
  const std::string log = read_text(log_path());
  EXPECT_NE(log.find("\"GET /auto/Cirrodex/AK/Adak.html\" 502"), std::string::npos) << log;
  EXPECT_NE(log.find("KHSV from observations_api"), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /assets/cirrodexvs.txt\" 200"), std::string::npos) << log;
}

// The documents of a US city, a zip code and a WMO station in both forms,
// as the program reads them. The stand-in moves each recorded report to a
// few minutes ago, so the times are today's.
TEST_F(ServiceEndToEnd, TheProgramReadsTheRecordedReports) {
  const std::string deg(1, '\xB0');
  struct Case {
    std::string path;
    bool raw;
    std::string location, temperature, humidity, wind, pressure, conditions, visibility;
    std::string zone;  // the abbreviation of the local times
  };
  const Case cases[] = {
      {"/auto/Cirrodex/AL/Muscle_Shoals.html", false, "Muscle Shoals, Alabama", "35" + deg + "F", "54%",
       "From the North @ 9mph", "30.36 in", "Clear", "10 miles", "CST"},
      {"/auto/raw/AL/Muscle_Shoals.html", true, "Muscle Shoals, Alabama", "35" + deg + " F", "54%",
       "From the North at 9 mph", "30.36 in", "Clear", "10 miles", "CST"},
      {"/auto/Cirrodex/35661", false, "Muscle Shoals, Alabama", "35" + deg + "F", "54%", "From the North @ 9mph",
       "30.36 in", "Clear", "10 miles", "CST"},
      {"/auto/raw/35661", true, "Muscle Shoals, Alabama", "35" + deg + " F", "54%", "From the North at 9 mph",
       "30.36 in", "Clear", "10 miles", "CST"},
      {"/auto/Cirrodex/global/stations/07005.html", false, "Abbeville, France", "36" + deg + "F", "81%",
       "From the NE @ 9 mph", "30.24 in", "Mostly Cloudy", "6+ miles", "CET"},
      {"/auto/raw/global/stations/07005.html", true, "Abbeville, France", "36" + deg + " F", "81%",
       "From the NE at 9 mph", "30.24 in", "Mostly Cloudy", "6+ miles", "CET"},
  };
  for (const Case& c : cases) {
    const Answer a = get(port(), c.path);
    ASSERT_EQ(a.status, 200) << c.path << "\n" << a.body;
    testing::ParserRig rig;
    if (c.raw) rig.settings.set("Datasource", "2");
    rig.parse(a.body);
    EXPECT_EQ(rig.host_calls(),
              (std::vector<std::string>{"status: ...parsing data...", "status: Thank you for using Cirrodex..."}))
        << c.path;
    const Readings& r = rig.readings;
    EXPECT_EQ(r.LocationName, c.location) << c.path;
    EXPECT_EQ(r.Temperature, c.temperature) << c.path;
    EXPECT_EQ(r.Humidity, c.humidity) << c.path;
    EXPECT_EQ(r.Wind, c.wind) << c.path;
    EXPECT_EQ(r.Pressure, c.pressure) << c.path;
    EXPECT_EQ(r.Conditions, c.conditions) << c.path;
    EXPECT_EQ(r.Visibility, c.visibility) << c.path;
    // "10:21 AM CST December 11": today's local time of the report.
    EXPECT_NE(r.ConditionTime.find(" " + c.zone + " "), std::string::npos) << c.path << ": " << r.ConditionTime;
    for (const std::string* t : {&r.Sunrise, &r.Sunset})
      EXPECT_NE(t->find(" " + c.zone), std::string::npos) << c.path << ": " << *t;
  }
}

TEST_F(ServiceEndToEnd, HeadGivesTheHeadersAloneOtherMethodsAreRefused) {
  const Answer full = get(port(), "/auto/raw/35661");
  const Answer head = get(port(), "/auto/raw/35661", "HEAD");
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.header("Content-Length"), std::to_string(full.body.size()));
  EXPECT_TRUE(head.body.empty());
  for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS"}) {
    const Answer a = get(port(), "/auto/raw/35661", method);
    EXPECT_EQ(a.status, 405) << method;
    EXPECT_EQ(a.header("Allow"), "GET, HEAD") << method;
  }
}

TEST_F(ServiceEndToEnd, BadBytesGetShortRefusals) {
  struct Case {
    std::string request;
    int status;
  };
  const std::string host = "Host: x\r\n\r\n";
  const Case cases[] = {
      {"GET /auto/Cirrodex/%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host, 400},
      {"GET /auto/Cirrodex/./35661 HTTP/1.1\r\n" + host, 400},
      {std::string("GET /auto/Cirrodex/35661\0 HTTP/1.1\r\n", 36) + host, 400},
      {"GET /auto/Cirrodex/AL/" + std::string(600, 'a') + ".html HTTP/1.1\r\n" + host, 414},
      {"GET / HTTP/1.1\r\nX: " + std::string(9000, 'x') + "\r\n" + host, 431},
      {std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11), 400},  // a TLS hello: no line at all
      {"GET /auto/Cirrodex/35661 HTTP/1.1\r\n\r\n", 400},
  };
  for (const Case& c : cases) {
    const Answer a = talk(port(), c.request);
    EXPECT_EQ(a.status, c.status) << c.request.substr(0, 60);
    EXPECT_EQ(a.header("Content-Length"), std::to_string(a.body.size()));
  }
  EXPECT_EQ(get(port(), "/assets/cirrodexvs.txt").status, 200) << "still serving";
}

TEST_F(ServiceEndToEnd, ABurstOfClientsSharesOneUpstreamFetch) {
  upstream_requests();  // forget earlier ones
  constexpr int kClients = 40;
  std::vector<Answer> answers(kClients);
  std::vector<std::thread> threads;
  threads.reserve(kClients);
  for (int i = 0; i < kClients; ++i)
    threads.emplace_back(
        [&, i] { answers[static_cast<std::size_t>(i)] = get(port(), "/auto/Cirrodex/NY/New_York.html"); });
  for (auto& t : threads) t.join();
  for (const Answer& a : answers) {
    EXPECT_EQ(a.status, 200) << a.body;
    EXPECT_EQ(a.body, answers[0].body);
  }
  // The nearest station (the Downtown Manhattan heliport) has nothing: Central Park serves.
  EXPECT_NE(answers[0].body.find("Observed at Central Park (KNYC)"), std::string::npos) << answers[0].body;
  EXPECT_NE(answers[0].body.find("Conditions: New York, New York Weather Forecast"), std::string::npos);
  EXPECT_NE(answers[0].body.find(".TODAY...Mostly sunny. Highs around 30."), std::string::npos);
  const std::string asked = upstream_requests();
  EXPECT_EQ(asked,
            "/data/observations/metar/stations/KJRB.TXT\n"
            "/api/data/metar?ids=KJRB&format=raw\n"
            "/data/observations/metar/stations/KNYC.TXT\n"
            "/data/forecasts/zone/ny/nyz075.txt\n");
}

TEST_F(ServiceEndToEnd, SlowClientsHoldNobodyUpAndAreCutOff) {
  Client finishing(port());
  Client stalled(port());
  ASSERT_TRUE(finishing.connected() && stalled.connected());
  finishing.send("GET /auto/raw/35661 HT");
  stalled.send("GET /auto/raw/35661 HTTP/1.1\r\nHost: x\r\n");
  // Others are served meanwhile.
  EXPECT_EQ(get(port(), "/assets/cirrodexvs.txt").status, 200);
  EXPECT_EQ(get(port(), "/auto/raw/AL/Muscle_Shoals.html").status, 200);
  finishing.send("TP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(parse(finishing.receive_all()).status, 200);
  // The stalled one gets 408 once its time is up, and the connection ends.
  const Answer cut = parse(stalled.receive_all(std::chrono::seconds(kHeadTimeoutSeconds + 10)));
  EXPECT_EQ(cut.status, 408);
}

TEST_F(ServiceEndToEnd, ClientsThatLeaveHalfWayAreForgotten) {
  {
    Client half(port());
    half.send("GET /auto/Cirrodex/AL/Muscle_Sh");
  }
  {
    // Leaves while its answer is being made.
    Client impatient(port());
    impatient.send("GET /auto/Cirrodex/NY/New_York.html HTTP/1.0\r\n\r\n");
  }
  for (int i = 0; i < 20; ++i) {
    Client c(port());
    c.send("GET /auto/Cirrodex/AL/Muscle_Shoals.html HTTP/1.1\r\nHost: x\r\n\r\n");
    if (i % 2 == 0) continue;  // gone without reading a byte
    EXPECT_EQ(parse(c.receive_all()).status, 200);
  }
  EXPECT_EQ(get(port(), "/auto/raw/AL/Muscle_Shoals.html").status, 200) << "still serving";
}

TEST(ServiceProgram, EndsCleanlyOnSigtermAndHasAHelpText) {
  const std::string dir =
      std::filesystem::temp_directory_path() / ("cirrodex-service-term-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  ServiceProcess service;
  ASSERT_TRUE(service.start(dir, dir + "/log")) << service.first_line();
  EXPECT_EQ(get(service.port(), "/assets/cirrodexvs.txt").status, 200);
  EXPECT_EQ(service.stop(), 0);
  std::filesystem::remove_all(dir);

  FILE* help = ::popen(CIRRODEX_SERVICE_BINARY " --help", "r");
  ASSERT_NE(help, nullptr);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, help) != nullptr) text += buffer;
  EXPECT_EQ(::pclose(help), 0);
  EXPECT_NE(text.find("--listen ADDR:PORT"), std::string::npos) << text;
  EXPECT_NE(text.find("--once PATH"), std::string::npos) << text;
}

}  // namespace
}  // namespace cirrodex::service
