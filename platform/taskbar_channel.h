#pragma once
// The task-bar companion's channel: where the one-line summary of the
// readings goes after every retrieval. Nobody listening is the normal case.

#include <string_view>

namespace cirrodex {

struct TaskbarDelivery {
  bool written = false;    // the summary file now holds the line
  bool delivered = false;  // a running companion took the whole line
};

class TaskbarChannel {
 public:
  virtual ~TaskbarChannel() = default;
  // summary: one Latin-1 line (line breaks inside it are made blanks).
  // Failures are not reported: the summary is a convenience for panels.
  virtual TaskbarDelivery deliver(std::string_view summary) = 0;
};

}  // namespace cirrodex
