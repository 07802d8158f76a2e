#pragma once
// Files that only ever grow by whole lines, such as the stats log: a port so
// that the program's tests keep every write in memory. Names are bare file
// names in the working (data) folder, or paths.

#include <string>
#include <string_view>

namespace cirrodex {

enum class AppendResult {
  Appended,
  OpenFailed,    // the file exists but could not be opened for appending
  CreateFailed,  // the file did not exist and could not be created with its first lines
  WriteFailed,   // opened, but the lines could not be written
};

class AppendFile {
 public:
  virtual ~AppendFile() = default;
  virtual bool exists(const std::string& name) = 0;
  // Appends the bytes with one write. A file that does not exist yet is
  // created first holding first_lines (written on their own). A write that
  // stops part way (a full disk, a size limit) is undone: the file is cut
  // back to its length before, so it never ends in half a line, and a file
  // that was just created and could not take its first lines is removed.
  virtual AppendResult append(const std::string& name, std::string_view first_lines, std::string_view bytes) = 0;
};

// The real files, through POSIX calls.
class PosixAppendFile final : public AppendFile {
 public:
  bool exists(const std::string& name) override;
  AppendResult append(const std::string& name, std::string_view first_lines, std::string_view bytes) override;
};

}  // namespace cirrodex
