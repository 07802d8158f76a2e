#pragma once
// The rules of one time zone, read from a compiled tzdata file (TZif, RFC
// 8536): the table of transitions (the 64-bit part of version 2 and later
// files, the 32-bit one of version 1 files) and, for instants past the last
// transition, the POSIX TZ string of the footer ("CST6CDT,M3.2.0,M11.1.0").
// Parsed rules never change, so any number of threads may ask them at once;
// nothing here reads the process's TZ or calls localtime.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex::service {

// Local time at some instant: offset from UTC in seconds (east positive),
// whether it is daylight saving time, and the abbreviation ("CDT", "+03").
struct LocalTimeType {
  std::int32_t utc_offset = 0;
  bool dst = false;
  std::string abbreviation;

  bool operator==(const LocalTimeType&) const = default;
};

// A POSIX TZ rule: a standard time and, when it has one, a daylight saving
// time with the two moments of change in each year.
class PosixTimeZone {
 public:
  // Empty for text that is not a TZ string this reader understands.
  static std::optional<PosixTimeZone> parse(std::string_view text);
  LocalTimeType at(std::int64_t unix_seconds) const;

 private:
  struct Change {
    enum class Kind { Julian1, Julian0, MonthWeekDay };  // Jn, n, Mm.w.d
    Kind kind = Kind::MonthWeekDay;
    int day = 0, week = 0, month = 0;
    std::int32_t time = 7200;  // seconds after local midnight
  };
  // The UTC instant of a change in year, the local time then having offset.
  static std::int64_t instant(const Change& c, int year, std::int32_t offset);

  LocalTimeType standard_, daylight_;
  bool has_dst_ = false;
  Change start_, end_;
};

class TimeZoneRules {
 public:
  // Empty for bytes that are not a TZif file, or one that contradicts itself
  // (an index past its tables, a transition out of order, ...); error then
  // says why when given.
  static std::optional<TimeZoneRules> parse(std::string_view bytes, std::string* error = nullptr);
  LocalTimeType at(std::int64_t unix_seconds) const;

 private:
  std::vector<std::int64_t> transitions_;
  std::vector<std::uint8_t> type_after_;  // the local time type from each transition on
  std::vector<LocalTimeType> types_;
  std::optional<PosixTimeZone> footer_;
};

}  // namespace cirrodex::service
