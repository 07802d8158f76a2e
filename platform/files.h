#pragma once
// Reading a whole file: the one reader every part of the program uses.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace cirrodex {

struct FileRead {
  std::optional<std::string> bytes;  // empty when the file could not be read
  std::string error;                 // why, in the system's words
  int error_number = 0;              // errno of the failure; 0 for "too large"
};

// The whole file (also /proc files, which report a size of 0). A file
// longer than max_bytes is refused with "file is too large" rather than
// held in memory.
FileRead read_whole_file(const std::string& path, std::size_t max_bytes = std::numeric_limits<std::size_t>::max());

// Readers see the old text or the new one, never a part: the bytes go to a
// temporary file in the same folder (made 0700 when missing), which then
// replaces the file. No fsync: for small files that are remade anyway.
bool write_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace cirrodex
