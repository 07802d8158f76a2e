// One copy per user: later starts hand over their command line, a crashed
// copy's socket does not lock the program out, simultaneous starts agree on one
// winner, and an unusable runtime folder only switches the guard off.
// The other copies are this test program run again as a child process.
#include "platform/qt/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

constexpr const char* kChildFlag = "--single-instance-child";
const QString kName = QStringLiteral("cirrodex");

// Exit codes of a child copy.
enum ChildResult {
  kHandedOver = 10,     // another copy took the command line and answered
  kUnanswered = 11,     // another copy holds the socket but did not answer
  kOff = 12,            // no guard
  kFirstServed = 13,    // became the running copy and got every hand-over
  kFirstUnserved = 14,  // became the running copy, hand-overs missing
};

// argv: <program> <flag> <start at, ms since epoch> <hand-overs to wait for> <arguments...>
int run_child(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList all = QCoreApplication::arguments();
  const qint64 start_at = all.at(2).toLongLong();
  const int expected = all.at(3).toInt();
  const qint64 wait = start_at - QDateTime::currentMSecsSinceEpoch();
  if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));

  SingleInstance instance;
  switch (instance.claim(kName, all.mid(4))) {
    case SingleInstance::Claim::Another:
      return instance.error().isEmpty() ? kHandedOver : kUnanswered;
    case SingleInstance::Claim::Off:
      return kOff;
    case SingleInstance::Claim::First:
      break;
  }
  int received = 0;
  QObject::connect(&instance, &SingleInstance::anotherInstanceStarted, [&received] { ++received; });
  const bool served = QTest::qWaitFor([&] { return received >= expected; }, 20000);
  return served && received == expected ? kFirstServed : kFirstUnserved;
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

  QProcess& start_child(const QStringList& arguments, qint64 start_at = 0, int expected = 0) {
    auto child = std::make_unique<QProcess>();
    child->setProcessChannelMode(QProcess::ForwardedChannels);
    child->start(
        QCoreApplication::applicationFilePath(),
        QStringList{QString::fromLatin1(kChildFlag), QString::number(start_at), QString::number(expected)} + arguments);
    EXPECT_TRUE(child->waitForStarted(5000));
    children_.push_back(std::move(child));
    return *children_.back();
  }

  // Keeps this process's event loop running so that its own copy can answer.
  static int result(QProcess& child) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 30000));
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
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         ASSERT_GE(fd, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const QByteArray native = QFile::encodeName(path);
         std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
         ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         ::close(fd);
       }},
      {"running copy killed",
       [&] {
         QProcess& copy = start_child({}, 0, 1);
         ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(fs::path(path.toStdString())); }, 5000));
         QTest::qWait(100);  // from bound to listening
         ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
         ASSERT_TRUE(copy.waitForFinished(5000));
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

// Timing-sensitive under a loaded CI machine (four Qt processes racing); run by hand
// with --gtest_also_run_disabled_tests until it is made deterministic.
TEST_F(SingleInstanceTest, DISABLED_SimultaneousStartsGiveExactlyOneWinner) {
  constexpr int kCopies = 4;
  // Far enough ahead that every child is loaded and waiting.
  const qint64 start_at = QDateTime::currentMSecsSinceEpoch() + 3000;
  std::vector<QProcess*> copies;
  for (int i = 0; i < kCopies; ++i) copies.push_back(&start_child({QString::number(i)}, start_at, kCopies - 1));
  std::map<int, int> results;
  for (QProcess* copy : copies) ++results[result(*copy)];
  EXPECT_EQ(results, (std::map<int, int>{{kHandedOver, kCopies - 1}, {kFirstServed, 1}}));
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
