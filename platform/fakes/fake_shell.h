#pragma once
// A shell that records what it is asked to open or start.
//   open: ADDRESS | start: PROGRAM ARG... [in FOLDER]

#include "platform/fakes/call_log.h"
#include "platform/shell.h"

namespace cirrodex::fakes {

class FakeShell final : public Shell {
 public:
  explicit FakeShell(CallLog& log) : log_(log) {}

  bool open_address(const std::string& address) override {
    log_.add("open: " + address);
    return open_works;
  }
  bool start_program(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder) override {
    std::string line = "start: " + program;
    for (const std::string& a : arguments) line += " " + a;
    if (!folder.empty()) line += " in " + folder;
    log_.add(line);
    return start_works;
  }

  bool open_works = true;
  bool start_works = true;

 private:
  CallLog& log_;
};

}  // namespace cirrodex::fakes
