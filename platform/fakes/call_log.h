#pragma once
// One ordered record of what the logic asked of its ports, shared by the
// recording fakes so a test (or cirrodex-inspect) sees the exact sequence of
// status texts, beeps, pauses, messages and slot writes.

#include <string>
#include <vector>

namespace cirrodex::fakes {

struct CallLog {
  std::vector<std::string> entries;

  void add(std::string entry) { entries.push_back(std::move(entry)); }
  void clear() { entries.clear(); }
  // Only the entries that start with prefix ("status: ", "slot ", ...).
  std::vector<std::string> with_prefix(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : entries)
      if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
    return out;
  }
};

}  // namespace cirrodex::fakes
