#pragma once
// Fixed formats in the manner of a US desktop: "M/d/yyyy" and "h:mm:ss AM".

#include <string>

#include "platform/date_format.h"

namespace cirrodex::fakes {

class FakeDateFormat final : public DateFormat {
 public:
  std::string short_date(const LocalDateTime& t) override {
    return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year);
  }
  std::string long_time(const LocalDateTime& t) override {
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return std::to_string(hour) + ":" + two(t.minute) + ":" + two(t.second) + (t.hour < 12 ? " AM" : " PM");
  }

 private:
  static std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
};

}  // namespace cirrodex::fakes
