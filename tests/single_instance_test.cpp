// One copy per user: later starts hand over their command line, a crashed
// copy's socket does not lock the program out, a busy running copy is not
// replaced, simultaneous starts agree on one winner, and an unusable runtime
// folder only switches the guard off.
// The other copies are this test program run again as a child process.
#include "platform/qt/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

constexpr const char* kChildFlag = "--single-instance-child";
const QString kName = QStringLiteral("cirrodex");
// Bound on each wait for another process; generous for a loaded machine.
constexpr int kPatienceMs = 30000;

// Exit codes of a child copy.
enum ChildResult {
  kHandedOver = 10,     // another copy took the command line and answered
  kUnanswered = 11,     // another copy holds the socket but did not answer
  kOff = 12,            // no guard
  kFirstServed = 13,    // became the running copy and got every hand-over
  kFirstUnserved = 14,  // became the running copy, hand-overs missing
};

void say(const QString& line) {
  std::printf("%s\n", qUtf8Printable(line));
  std::fflush(stdout);
}

// argv: <program> <flag> <hand-overs to wait for> <arguments...>
// Says "ready" once loaded and claims when its standard input closes, so
// that the test can release several copies at once. The running copy says
// "first", then each command line handed to it.
int run_child(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList all = QCoreApplication::arguments();
  const int expected = all.at(2).toInt();
  say(QStringLiteral("ready"));
  for (char byte = 0;;) {
    const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
    if (n == 0 || (n < 0 && errno != EINTR)) break;
  }

  SingleInstance instance;
  switch (instance.claim(kName, all.mid(3))) {
    case SingleInstance::Claim::Another:
      return instance.error().isEmpty() ? kHandedOver : kUnanswered;
    case SingleInstance::Claim::Off:
      return kOff;
    case SingleInstance::Claim::First:
      break;
  }
  say(QStringLiteral("first"));
  int received = 0;
  QObject::connect(&instance, &SingleInstance::anotherInstanceStarted, [&received](const QStringList& arguments) {
    ++received;
    say(arguments.join(QLatin1Char(' ')));
  });
  const bool served = QTest::qWaitFor([&] { return received >= expected; }, kPatienceMs);
  return served && received == expected ? kFirstServed : kFirstUnserved;
}

sockaddr_un address_of(const QString& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray native = QFile::encodeName(path);
  std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
  return address;
}

// A socket bound at `path` and, with `backlog` >= 0, listening.
int bind_socket(const QString& path, int backlog) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  const sockaddr_un address = address_of(path);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      (backlog >= 0 && ::listen(fd, backlog) != 0)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "si-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    runtime_ = pattern;
    ASSERT_EQ(::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1), 0);
  }
  void TearDown() override {
    for (auto& child : children_) {
      child->kill();
      child->waitForFinished(2000);
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    fs::remove_all(runtime_);
  }

  // A held child waits for release(); the others claim at once.
  QProcess& start_child(const QStringList& arguments, int expected = 0, bool held = false) {
    auto child = std::make_unique<QProcess>();
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start(QCoreApplication::applicationFilePath(),
                 QStringList{QString::fromLatin1(kChildFlag), QString::number(expected)} + arguments);
    EXPECT_TRUE(child->waitForStarted(kPatienceMs));
    if (!held) release(*child);
    children_.push_back(std::move(child));
    return *children_.back();
  }
  static void release(QProcess& child) { child.closeWriteChannel(); }

  // The waits below keep this process's event loop running so that its own
  // copy can answer.

  // The child's next line; empty when it ended without one.
  static std::string next_line(QProcess& child) {
    if (!QTest::qWaitFor([&] { return child.canReadLine() || child.state() == QProcess::NotRunning; }, kPatienceMs))
      return {};
    return child.readLine().trimmed().toStdString();
  }

  // Longer than a running copy waits for its hand-overs.
  static int result(QProcess& child) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 2 * kPatienceMs));
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
  }

  fs::path runtime_;
  std::vector<std::unique_ptr<QProcess>> children_;
};

TEST_F(SingleInstanceTest, LaterStartsHandTheirCommandLineToTheFirst) {
  SingleInstance first;
  ASSERT_EQ(first.claim(kName, {QStringLiteral("cirrodex")}), SingleInstance::Claim::First)
      << first.error().toStdString();
  EXPECT_EQ(fs::status(runtime_ / "cirrodex").permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(runtime_ / "cirrodex" / "instance.sock").type(), fs::file_type::socket);

  QSignalSpy spy(&first, &SingleInstance::anotherInstanceStarted);
  const std::vector<QStringList> command_lines = {
      {QStringLiteral("cirrodex"), QStringLiteral("two words"), QStringLiteral("\u00fcn\u00efc\u00f8d\u00e9"),
       QString(), QStringLiteral("line\nbreak")},
      {QStringLiteral("cirrodex"), QStringLiteral("--second")},
  };
  for (const QStringList& command_line : command_lines) {
    EXPECT_EQ(result(start_child(command_line)), kHandedOver);
  }
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(0).at(0).toStringList(), command_lines[0]);
  EXPECT_EQ(spy.at(1).at(0).toStringList(), command_lines[1]);
}

TEST_F(SingleInstanceTest, LeftOverSocketOfADeadCopyDoesNotBlock) {
  const QString path = SingleInstance::socket_path(kName);
  const std::vector<std::pair<const char*, std::function<void()>>> leftovers = {
      {"socket bound and closed without unlinking",
       [&] {
         fs::create_directories(runtime_ / "cirrodex");
         fs::permissions(runtime_ / "cirrodex", fs::perms::owner_all);
         const int fd = bind_socket(path, -1);
         ASSERT_GE(fd, 0);
         ::close(fd);
       }},
      {"running copy killed",
       [&] {
         QProcess& copy = start_child({}, 1);
         ASSERT_EQ(next_line(copy), "ready");
         ASSERT_EQ(next_line(copy), "first");
         ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
         ASSERT_TRUE(copy.waitForFinished(kPatienceMs));
       }},
  };
  for (const auto& [how, leave] : leftovers) {
    SCOPED_TRACE(how);
    fs::remove_all(runtime_ / "cirrodex");
    leave();
    ASSERT_TRUE(fs::exists(fs::path(path.toStdString())));

    SingleInstance next;
    ASSERT_EQ(next.claim(kName, {}), SingleInstance::Claim::First) << next.error().toStdString();
    QSignalSpy spy(&next, &SingleInstance::anotherInstanceStarted);
    EXPECT_EQ(result(start_child({QStringLiteral("x")})), kHandedOver);
    EXPECT_EQ(spy.count(), 1);
  }
}

// A running copy too busy to take connections still holds its place.
TEST_F(SingleInstanceTest, BusyRunningCopyIsNotReplaced) {
  const QString path = SingleInstance::socket_path(kName);
  fs::create_directories(runtime_ / "cirrodex");
  fs::permissions(runtime_ / "cirrodex", fs::perms::owner_all);
  // A backlog of 0 admits one waiting connection; the next finds it full.
  const int busy = bind_socket(path, 0);
  ASSERT_GE(busy, 0);
  const int queued = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(queued, 0);
  const sockaddr_un address = address_of(path);
  ASSERT_EQ(::connect(queued, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  const QByteArray native = QFile::encodeName(path);
  struct stat before {};
  ASSERT_EQ(::stat(native.constData(), &before), 0);

  SingleInstance next;
  EXPECT_EQ(next.claim(kName, {}), SingleInstance::Claim::Another);
  EXPECT_FALSE(next.error().isEmpty());
  struct stat after {};
  EXPECT_EQ(::stat(native.constData(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the busy copy's socket was replaced";
  ::close(queued);
  ::close(busy);
}

// Copies released together, each fully loaded, agree on one running copy,
// which gets every other copy's own command line.
TEST_F(SingleInstanceTest, SimultaneousStartsGiveExactlyOneWinner) {
  constexpr int kCopies = 4;
  std::vector<QProcess*> copies;
  for (int i = 0; i < kCopies; ++i) copies.push_back(&start_child({QString::number(i)}, kCopies - 1, true));
  for (QProcess* copy : copies) ASSERT_EQ(next_line(*copy), "ready");
  for (QProcess* copy : copies) release(*copy);

  std::map<int, int> results;
  QProcess* winner = nullptr;
  QStringList others;
  for (int i = 0; i < kCopies; ++i) {
    const int code = result(*copies[static_cast<size_t>(i)]);
    ++results[code];
    if (code == kFirstServed || code == kFirstUnserved)
      winner = copies[static_cast<size_t>(i)];
    else
      others << QString::number(i);
  }
  EXPECT_EQ(results, (std::map<int, int>{{kHandedOver, kCopies - 1}, {kFirstServed, 1}}));
  ASSERT_NE(winner, nullptr);
  ASSERT_EQ(next_line(*winner), "first");
  QStringList received;
  for (std::string line = next_line(*winner); !line.empty(); line = next_line(*winner))
    received << QString::fromStdString(line);
  received.sort();
  EXPECT_EQ(received.join(QLatin1Char(',')).toStdString(), others.join(QLatin1Char(',')).toStdString());
}

TEST_F(SingleInstanceTest, UnusableRuntimeFolderTurnsTheGuardOff) {
  struct Case {
    const char* what;
    std::function<fs::path()> make_runtime;  // returns the runtime folder to use
  };
  const std::vector<Case> cases = {
      {"socket path too long",
       [&] {
         const fs::path deep = runtime_ / std::string(120, 'd');
         fs::create_directories(deep);
         fs::permissions(deep, fs::perms::owner_all);
         return deep;
       }},
      {"folder cannot be made",
       [&] {
         const fs::path blocked = runtime_ / "blocked";
         fs::create_directories(blocked);
         fs::permissions(blocked, fs::perms::owner_all);
         std::ofstream(blocked / "cirrodex") << "not a folder";
         return blocked;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path runtime = c.make_runtime();
    ASSERT_EQ(::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1), 0);
    SingleInstance instance;
    EXPECT_EQ(instance.claim(kName, {}), SingleInstance::Claim::Off);
    EXPECT_TRUE(instance.error().contains(QString::fromStdString(runtime.string()))) << instance.error().toStdString();
  }
}

TEST(RaiseWindow, BringsBackAMinimizedOrHiddenWindow) {
  const std::vector<std::pair<const char*, void (QWidget::*)()>> away = {{"minimized", &QWidget::showMinimized},
                                                                         {"hidden", &QWidget::hide}};
  for (const auto& [how, put_away] : away) {
    SCOPED_TRACE(how);
    QWidget window;
    window.show();
    (window.*put_away)();
    ASSERT_TRUE(window.isMinimized() || window.isHidden());
    raise_window(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
  }
}

}  // namespace
}  // namespace cirrodex

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], cirrodex::kChildFlag) == 0) return cirrodex::run_child(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
