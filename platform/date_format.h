#pragma once
// The user's regional formats for dates and times, as the desktop's locale
// gives them: a port so that tests fix the formats. Texts are Latin-1.

#include <string>

#include "platform/clock.h"

namespace cirrodex {

class DateFormat {
 public:
  virtual ~DateFormat() = default;
  // The short date format ("12/11/2026", "11.12.26").
  virtual std::string short_date(const LocalDateTime& t) = 0;
  // The long time format: with seconds, without the time zone
  // ("2:30:05 PM", "14:30:05").
  virtual std::string long_time(const LocalDateTime& t) = 0;
};

}  // namespace cirrodex
