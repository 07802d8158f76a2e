// The POSIX append adapter on real files: creation with the first lines,
// appends, and the roll-back of a write that a full disk cuts short. A
// child process with a file size limit (RLIMIT_FSIZE) stands for the full
// disk: the kernel then writes what fits and fails the rest with EFBIG.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/append_file.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

class AppendFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("append-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  static std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void put(const std::string& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
  // Runs work in a child whose files may not grow past limit bytes; the
  // child's exit status is work's result.
  static int with_size_limit(rlim_t limit, const std::function<int()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of the signal's death
      const rlimit r{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(100);
      ::_exit(work());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  }

  fs::path dir_;
};

const std::string kFirst = "Cirrodex Log File - created: 1/2/2026\r\nLocation,State/Country\r\n";
const std::string kRecord =
    "Tuscaloosa, AL,1/2/2026 3:04:05 PM,Partly Cloudy,72\xB0"
    "F,45%\r\n";

TEST_F(AppendFileTest, CreatesWithTheFirstLinesThenAppends) {
  PosixAppendFile files;
  const std::string log = path("Cirrodex.log");
  EXPECT_FALSE(files.exists(log));
  EXPECT_EQ(files.append(log, kFirst, kRecord), AppendResult::Appended);
  EXPECT_TRUE(files.exists(log));
  EXPECT_EQ(files.append(log, kFirst, kRecord), AppendResult::Appended);
  EXPECT_EQ(read(log), kFirst + kRecord + kRecord);
}

TEST_F(AppendFileTest, FailuresToOpenAndToCreate) {
  PosixAppendFile files;
  // A folder where the log should be cannot be opened for writing.
  fs::create_directories(path("Cirrodex.log"));
  EXPECT_EQ(files.append(path("Cirrodex.log"), kFirst, kRecord), AppendResult::OpenFailed);
  // No folder to create it in.
  EXPECT_EQ(files.append(path("missing/Cirrodex.log"), kFirst, kRecord), AppendResult::CreateFailed);
}

TEST_F(AppendFileTest, AWriteCutShortByAFullDiskIsRolledBack) {
  const std::string log = path("Cirrodex.log");
  const std::string before = kFirst + kRecord;
  put(log, before);
  const rlim_t limit = before.size() + 10;  // room for 10 bytes of the record

  // The limit really cuts a plain write short: a copy written to directly
  // would end in half a line.
  const std::string control = path("control.log");
  put(control, before);
  EXPECT_EQ(with_size_limit(limit,
                            [&] {
                              const int fd = ::open(control.c_str(), O_WRONLY | O_APPEND);
                              const ssize_t n = ::write(fd, kRecord.data(), kRecord.size());
                              return n == 10 ? 0 : 1;
                            }),
            0);
  EXPECT_EQ(read(control), before + kRecord.substr(0, 10));

  // Through the adapter, the half line is taken back.
  EXPECT_EQ(with_size_limit(limit,
                            [&] {
                              PosixAppendFile files;
                              return files.append(log, kFirst, kRecord) == AppendResult::WriteFailed ? 0 : 1;
                            }),
            0);
  EXPECT_EQ(read(log), before);

  // With room again, the next record follows the last whole line.
  PosixAppendFile files;
  EXPECT_EQ(files.append(log, kFirst, kRecord), AppendResult::Appended);
  EXPECT_EQ(read(log), before + kRecord);
}

TEST_F(AppendFileTest, ANewLogThatCannotTakeItsFirstLinesIsRemoved) {
  const std::string log = path("Cirrodex.log");
  EXPECT_EQ(with_size_limit(20,
                            [&] {
                              PosixAppendFile files;
                              return files.append(log, kFirst, kRecord) == AppendResult::CreateFailed ? 0 : 1;
                            }),
            0);
  EXPECT_FALSE(fs::exists(log));

  // Room for the first lines but not for the record: they stay.
  EXPECT_EQ(with_size_limit(kFirst.size() + 5,
                            [&] {
                              PosixAppendFile files;
                              return files.append(log, kFirst, kRecord) == AppendResult::WriteFailed ? 0 : 1;
                            }),
            0);
  EXPECT_EQ(read(log), kFirst);
}

}  // namespace
}  // namespace cirrodex
