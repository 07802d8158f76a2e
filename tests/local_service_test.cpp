// The local conditions service: when the shipped loopback address answers
// nothing, the recorded service of another client or a child of our own;
// and the POSIX launcher that hands a listening socket to a real child.
#include "app/core/local_service.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/fakes/fake_service_launcher.h"
#include "platform/files.h"
#include "platform/posix_service_launcher.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

TEST(LoopbackEndpoint, OnlyHttpOnALoopbackHost) {
  struct Row {
    const char* url;
    const char* host;  // nullptr: not a loopback address
    int port;
  };
  for (const Row& r : {Row{"http://127.0.0.1:8470", "127.0.0.1", 8470}, Row{"http://localhost:9/", "localhost", 9},
                       Row{"HTTP://LocalHost", "localhost", 80}, Row{"http://[::1]:8470", "::1", 8470},
                       Row{"http://127.0.0.1:8470/auto", nullptr, 0}, Row{"https://127.0.0.1:8470", nullptr, 0},
                       Row{"http://www.wunderground.com", nullptr, 0}, Row{"http://127.0.0.2:1", nullptr, 0},
                       Row{"http://127.0.0.1:0", nullptr, 0}, Row{"http://127.0.0.1:70000", nullptr, 0},
                       Row{"http://127.0.0.1:-1", nullptr, 0}, Row{"http://[::1", nullptr, 0}}) {
    const auto e = loopback_endpoint(r.url);
    if (r.host == nullptr) {
      EXPECT_FALSE(e) << r.url;
    } else {
      ASSERT_TRUE(e) << r.url;
      EXPECT_EQ(e->host, r.host) << r.url;
      EXPECT_EQ(e->port, r.port) << r.url;
    }
  }
}

const char* kShipped =
    "conditions = http://127.0.0.1:8470\nusage_counter = http://127.0.0.1:8470\n"
    "maker_web = http://www.velmoraworks.com\n";

struct Rig : ::testing::Test {
  fakes::CallLog log;
  fakes::FakeServiceLauncher launcher{log};
  fs::path dir = fs::path(::testing::TempDir()) / ("localservice-" + std::to_string(::getpid()));
  std::string record = (dir / "cirrodex" / "service.address").string();
  Services services{kShipped};

  void SetUp() override { fs::remove_all(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string recorded() { return read_whole_file(record).bytes.value_or("<none>"); }
};

TEST_F(Rig, AServiceAtTheShippedAddressIsUsedAsItIs) {
  launcher.listening.insert("127.0.0.1:8470");
  LocalService local(launcher, "/opt/cirrodex-service", record);
  EXPECT_EQ(local.attach(services), "");
  EXPECT_EQ(services.value("conditions"), "http://127.0.0.1:8470");
  EXPECT_EQ(log.entries, std::vector<std::string>{"probe: 127.0.0.1:8470"});
}

TEST_F(Rig, ARemoteServiceIsNotProbedOrStarted) {
  services.override_with("conditions = http://wx.example.org\n", "user");
  LocalService local(launcher, "/opt/cirrodex-service", record);
  EXPECT_EQ(local.attach(services), "");
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(Rig, NothingAnswersSoAChildIsStartedRecordedAndEndedAtExit) {
  {
    LocalService local(launcher, "/opt/cirrodex-service", record);
    EXPECT_EQ(local.attach(services), "");
    EXPECT_TRUE(local.started_child());
    // Every entry on the shipped address moves; the others stay.
    EXPECT_EQ(services.value("conditions"), "http://127.0.0.1:41000");
    EXPECT_EQ(services.value("usage_counter"), "http://127.0.0.1:41000");
    EXPECT_EQ(services.value("maker_web"), "http://www.velmoraworks.com");
    EXPECT_EQ(recorded(), "127.0.0.1:41000 4000\n");

    // A second client of this login finds it and does not end it.
    Services other{kShipped};
    LocalService second(launcher, "/opt/cirrodex-service", record);
    EXPECT_EQ(second.attach(other), "");
    EXPECT_FALSE(second.started_child());
    EXPECT_EQ(other.value("conditions"), "http://127.0.0.1:41000");
  }
  EXPECT_EQ(log.entries, (std::vector<std::string>{"probe: 127.0.0.1:8470", "start: /opt/cirrodex-service",
                                                   "probe: 127.0.0.1:8470", "probe: 127.0.0.1:41000", "stop: 4000"}));
  EXPECT_EQ(recorded(), "<none>") << "the record goes with the service";
}

TEST_F(Rig, AStaleRecordIsReplaced) {
  for (const char* stale : {"127.0.0.1:41999 77\n", "garbage\n", "127.0.0.1:x 77\n"}) {
    write_file_atomically(record, stale);
    Services s{kShipped};
    LocalService local(launcher, "/opt/cirrodex-service", record);
    EXPECT_EQ(local.attach(s), "") << stale;
    EXPECT_TRUE(local.started_child()) << stale;
    EXPECT_NE(recorded(), stale);
  }
}

TEST_F(Rig, AServiceThatCannotStartIsSaidAndTheAddressStays) {
  launcher.refusal = "/opt/cirrodex-service: No such file or directory";
  LocalService local(launcher, "/opt/cirrodex-service", record);
  EXPECT_EQ(local.attach(services),
            "The conditions service could not be started: /opt/cirrodex-service: No such file or directory");
  EXPECT_EQ(services.value("conditions"), "http://127.0.0.1:8470");
  EXPECT_FALSE(local.started_child());
}

// A stand-in for the service: it serves one line on the socket it was
// handed, saying whether LISTEN_PID named it.
const char* kChild = R"(#!/usr/bin/python3
import os, socket
ok = os.environ.get("LISTEN_FDS") == "1" and os.environ.get("LISTEN_PID") == str(os.getpid())
s = socket.socket(fileno=3)
while True:
    c, _ = s.accept()
    c.sendall(b"handed over\n" if ok else b"wrong environment\n")
    c.close()
)";

std::string read_from(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  std::string got;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
    char buffer[64];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return got;
}

TEST(PosixServiceLauncher, HandsAListeningSocketToTheChildAndEndsIt) {
  const fs::path dir = fs::path(::testing::TempDir()) / ("launcher-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string program = (dir / "service").string();
  std::ofstream(program) << kChild;
  fs::permissions(program, fs::perms::owner_all);

  PosixServiceLauncher launcher;
  std::string why;
  const auto child = launcher.start(program, why);
  ASSERT_TRUE(child) << why;
  EXPECT_GT(child->port, 0);
  EXPECT_TRUE(launcher.answers("127.0.0.1", child->port));
  EXPECT_EQ(read_from(child->port), "handed over\n");
  EXPECT_TRUE(launcher.running(child->pid));
  launcher.stop(child->pid);
  EXPECT_FALSE(launcher.running(child->pid));
  EXPECT_FALSE(launcher.answers("127.0.0.1", child->port));

  EXPECT_FALSE(launcher.start((dir / "missing").string(), why));
  EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace cirrodex
