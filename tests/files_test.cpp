// The whole-file reader.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

TEST(ReadWholeFile, EveryByteOrWhyNot) {
  const fs::path dir = fs::path(::testing::TempDir()) / ("files-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string bytes("a\0b\r\n\xB0", 6);
  std::ofstream(dir / "f", std::ios::binary) << bytes;
  std::ofstream(dir / "empty", std::ios::binary);

  const FileRead whole = read_whole_file((dir / "f").string());
  ASSERT_TRUE(whole.bytes);
  EXPECT_EQ(*whole.bytes, bytes);
  EXPECT_EQ(read_whole_file((dir / "empty").string()).bytes, std::string());

  const FileRead missing = read_whole_file((dir / "none").string());
  EXPECT_FALSE(missing.bytes);
  EXPECT_EQ(missing.error_number, ENOENT);
  EXPECT_EQ(missing.error, "No such file or directory");

  const FileRead folder = read_whole_file(dir.string());
  EXPECT_FALSE(folder.bytes);
  EXPECT_EQ(folder.error_number, EISDIR);

  const FileRead big = read_whole_file((dir / "f").string(), 5);
  EXPECT_FALSE(big.bytes);
  EXPECT_EQ(big.error, "file is too large");
  EXPECT_TRUE(read_whole_file((dir / "f").string(), 6).bytes);

  // /proc files say they are empty; the reader goes by what it reads.
  const FileRead proc = read_whole_file("/proc/self/status");
  ASSERT_TRUE(proc.bytes);
  EXPECT_NE(proc.bytes->find("Name:"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace cirrodex
