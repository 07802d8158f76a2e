#pragma once
#include "platform/clock.h"

namespace cirrodex::fakes {

// A clock that says whatever the test sets.
class FakeClock final : public Clock {
 public:
  LocalDateTime now() override { return now_; }
  void set(const LocalDateTime& t) { now_ = t; }
  void set_time(int hour, int minute) {
    now_.hour = hour;
    now_.minute = minute;
  }

 private:
  LocalDateTime now_{};
};

}  // namespace cirrodex::fakes
