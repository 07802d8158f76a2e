#pragma once
// The task-bar channel on this machine: the summary is written to a file
// that panel tools can read and handed to a running companion over a local
// socket.

#include <chrono>
#include <string>
#include <string_view>

#include "platform/taskbar_channel.h"

namespace cirrodex {

struct TaskbarTargets {
  std::string summary_file;  // empty: no folder to write into
  std::string socket_path;   // empty: no companion can be reached
};

// $XDG_RUNTIME_DIR/cirrodex/taskbar-summary.txt and
// $XDG_RUNTIME_DIR/cirrodex-taskbar.socket. Without a runtime folder the
// file goes to the cache folder and there is no socket.
TaskbarTargets taskbar_targets();

// How long a companion may keep the UI thread waiting.
inline constexpr std::chrono::milliseconds kCompanionWait{200};

class LocalTaskbarChannel final : public TaskbarChannel {
 public:
  // Empty targets: taskbar_targets() at each delivery, so a runtime folder
  // that appears later is used.
  explicit LocalTaskbarChannel(TaskbarTargets targets = {}, std::chrono::milliseconds wait = kCompanionWait)
      : targets_(std::move(targets)), wait_(wait) {}

  // The summary as UTF-8 plus "\n": written atomically (a temporary file
  // renamed over the old one; folders made 0700), then sent to whoever
  // listens on the socket, waiting at most the channel's wait for the
  // connection and the write.
  TaskbarDelivery deliver(std::string_view summary) override;

 private:
  TaskbarTargets targets_;
  std::chrono::milliseconds wait_;
};

}  // namespace cirrodex
