#pragma once
// The clock: local date and time now. Day/night rules, log stamps and the
// moon read it through this port so that tests can set the time.

namespace cirrodex {

struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int weekday = 6;              // 0 = Sunday
  long utc_offset_seconds = 0;  // local time minus UTC, daylight saving included
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() = 0;
};

// The system's local time.
class SystemClock final : public Clock {
 public:
  LocalDateTime now() override;
};

}  // namespace cirrodex
