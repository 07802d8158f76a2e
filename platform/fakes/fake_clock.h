#pragma once
#include "platform/clock.h"

namespace cirrodex::fakes {

// A clock reading: the local date and time and the zone's offset from UTC.
inline LocalDateTime local_time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                                long utc_offset_seconds = 0) {
  LocalDateTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.utc_offset_seconds = utc_offset_seconds;
  return t;
}

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
