// The task-bar channel on this machine: where the summary goes, and the
// companion socket.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/local_taskbar_channel.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

const std::string kSummary =
    "Cirrodex - Tuscaloosa, AL - Partly Cloudy - 72\xB0"
    "F / Humidity: 45% - Wind: From the South @ 10mph";

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

unsigned mode_of(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st.st_mode & 0777;
}

int unix_socket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

sockaddr_un address(const std::string& path) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::memcpy(a.sun_path, path.data(), path.size());
  return a;
}

int listen_at(const std::string& path, int backlog) {
  const int fd = unix_socket();
  const sockaddr_un a = address(path);
  EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof(a)), 0) << std::strerror(errno);
  EXPECT_EQ(::listen(fd, backlog), 0);
  return fd;
}

int connect_to(const std::string& path) {
  const int fd = unix_socket();
  const sockaddr_un a = address(path);
  EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof(a)), 0);
  return fd;
}

// Everything one accepted connection sends, up to its close.
std::string accept_and_read(int listener) {
  const int fd = ::accept(listener, nullptr, nullptr);
  EXPECT_GE(fd, 0);
  std::string got;
  char buf[256];
  for (ssize_t n; (n = ::read(fd, buf, sizeof(buf))) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  return got;
}

// A private runtime folder; the folder variables are put back afterwards.
struct TaskbarFixture : ::testing::Test {
  static constexpr const char* kVariables[] = {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME"};
  std::optional<std::string> saved[3];
  fs::path dir;
  LocalTaskbarChannel channel;

  void SetUp() override {
    for (std::size_t i = 0; i < 3; ++i)
      if (const char* v = std::getenv(kVariables[i])) saved[i] = v;
    char name[] = "/tmp/cirrodex-taskbar-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  void TearDown() override {
    for (std::size_t i = 0; i < 3; ++i) {
      if (saved[i])
        ::setenv(kVariables[i], saved[i]->c_str(), 1);
      else
        ::unsetenv(kVariables[i]);
    }
    fs::remove_all(dir);
  }
  std::string socket_path() const { return (dir / "cirrodex-taskbar.socket").string(); }
  fs::path summary_file() const { return dir / "cirrodex" / "taskbar-summary.txt"; }
};

TEST_F(TaskbarFixture, TargetsFollowTheFolderVariables) {
  struct Case {
    const char* runtime;  // nullptr: unset
    const char* cache;
    const char* home;
    TaskbarTargets expected;
  };
  const Case cases[] = {
      {"/run/user/7", "/c", "/h", {"/run/user/7/cirrodex/taskbar-summary.txt", "/run/user/7/cirrodex-taskbar.socket"}},
      {"/run/user/7/",
       nullptr,
       "/h",
       {"/run/user/7/cirrodex/taskbar-summary.txt", "/run/user/7/cirrodex-taskbar.socket"}},
      {nullptr, "/c", "/h", {"/c/cirrodex/taskbar-summary.txt", ""}},
      {"", nullptr, "/h", {"/h/.cache/cirrodex/taskbar-summary.txt", ""}},
      {"run/relative", "cache/relative", "/h", {"/h/.cache/cirrodex/taskbar-summary.txt", ""}},
  };
  for (const auto& c : cases) {
    auto set = [](const char* name, const char* value) {
      if (value)
        ::setenv(name, value, 1);
      else
        ::unsetenv(name);
    };
    set("XDG_RUNTIME_DIR", c.runtime);
    set("XDG_CACHE_HOME", c.cache);
    set("HOME", c.home);
    const TaskbarTargets t = taskbar_targets();
    EXPECT_EQ(t.summary_file, c.expected.summary_file) << (c.runtime ? c.runtime : "unset");
    EXPECT_EQ(t.socket_path, c.expected.socket_path) << (c.runtime ? c.runtime : "unset");
  }
}

TEST_F(TaskbarFixture, WritesTheFileAndReachesAListeningCompanion) {
  const int listener = listen_at(socket_path(), 4);
  const TaskbarDelivery d = channel.deliver(kSummary);
  EXPECT_TRUE(d.written);
  EXPECT_TRUE(d.delivered);
  const std::string utf8 =
      "Cirrodex - Tuscaloosa, AL - Partly Cloudy - 72\xC2\xB0"
      "F / Humidity: 45% - Wind: From the South @ 10mph\n";
  EXPECT_EQ(accept_and_read(listener), utf8);
  EXPECT_EQ(slurp(summary_file()), utf8);
  EXPECT_EQ(mode_of(summary_file().parent_path()), 0700u);

  // The next summary replaces the file whole, leaving no temporary behind.
  channel.deliver(
      "Cirrodex - Tuscaloosa, AL - Light Rain - 72\xB0"
      "F");
  EXPECT_NE(accept_and_read(listener).find(" - Light Rain - "), std::string::npos);
  EXPECT_NE(slurp(summary_file()).find(" - Light Rain - "), std::string::npos);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(summary_file().parent_path())) files.push_back(e.path().filename());
  EXPECT_EQ(files, std::vector<std::string>{"taskbar-summary.txt"});
  ::close(listener);
}

TEST_F(TaskbarFixture, NobodyListeningIsQuietAndQuick) {
  struct Case {
    const char* name;
    bool stale_socket;  // a socket file whose listener has gone
  };
  for (const Case c : {Case{"no socket", false}, Case{"stale socket", true}}) {
    if (c.stale_socket) ::close(listen_at(socket_path(), 1));
    const auto start = SteadyClock::now();
    const TaskbarDelivery d = channel.deliver(kSummary);
    EXPECT_LT(SteadyClock::now() - start, milliseconds(100)) << c.name;
    EXPECT_TRUE(d.written) << c.name;
    EXPECT_FALSE(d.delivered) << c.name;
  }
}

TEST_F(TaskbarFixture, ABusyCompanionIsWaitedForBriefly) {
  // Backlog 0 with one connection pending: the next connect is refused for
  // now (the queue is full) until the companion accepts.
  const int listener = listen_at(socket_path(), 0);
  const int pending = connect_to(socket_path());
  const TaskbarTargets targets{"", socket_path()};

  const auto start = SteadyClock::now();
  EXPECT_FALSE(LocalTaskbarChannel(targets, milliseconds(100)).deliver("x").delivered);
  const auto waited = SteadyClock::now() - start;
  EXPECT_GE(waited, milliseconds(90));
  EXPECT_LT(waited, milliseconds(1000));

  // A companion that gets round to accepting within the wait gets the line.
  std::string got;
  std::thread companion([&] {
    std::this_thread::sleep_for(milliseconds(50));
    ::close(::accept(listener, nullptr, nullptr));  // the pending one
    got = accept_and_read(listener);
  });
  EXPECT_TRUE(LocalTaskbarChannel(targets, milliseconds(2000)).deliver("Cirrodex - Home - Fog").delivered);
  companion.join();
  EXPECT_EQ(got, "Cirrodex - Home - Fog\n");
  ::close(pending);
  ::close(listener);
}

TEST_F(TaskbarFixture, WithoutARuntimeFolderTheFileGoesToTheCache) {
  ::unsetenv("XDG_RUNTIME_DIR");
  const fs::path cache = dir / "cache";
  ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  // A line break inside would split the summary for line readers.
  const TaskbarDelivery d = channel.deliver("Rain\r\nShowers");
  EXPECT_TRUE(d.written);
  EXPECT_FALSE(d.delivered);
  EXPECT_EQ(slurp(cache / "cirrodex" / "taskbar-summary.txt"), "Rain  Showers\n");
  EXPECT_EQ(mode_of(cache), 0700u);
  EXPECT_EQ(mode_of(cache / "cirrodex"), 0700u);
}

}  // namespace
}  // namespace cirrodex
