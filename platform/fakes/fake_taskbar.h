#pragma once
// A task-bar channel that records each summary:
//   taskbar: SUMMARY

#include <string>
#include <string_view>

#include "platform/fakes/call_log.h"
#include "platform/taskbar_channel.h"

namespace cirrodex::fakes {

class FakeTaskbarChannel final : public TaskbarChannel {
 public:
  explicit FakeTaskbarChannel(CallLog& log) : log_(log) {}
  TaskbarDelivery deliver(std::string_view summary) override {
    log_.add("taskbar: " + std::string(summary));
    return {true, listening};
  }
  // Whether a companion takes the line.
  bool listening = false;

 private:
  CallLog& log_;
};

}  // namespace cirrodex::fakes
