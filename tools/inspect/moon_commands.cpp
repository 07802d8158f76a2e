// cirrodex-inspect moon: every value of the Moontool and More Data windows at
// an instant, one "Caption value" a line, event times in Universal Time.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "moon/errors.h"
#include "moon/moon_windows.h"
#include "tools/inspect/commands.h"

namespace cirrodex::inspect {

namespace {

// "2026-12-11", "2026-12-11T14:05", "2026-12-11T14:05:09.250Z" (UTC).
std::optional<moon::Instant> parse_instant(const std::string& text) {
  static const std::regex iso(R"((\d{4})-(\d\d)-(\d\d)(?:[T ](\d\d):(\d\d)(?::(\d\d)(\.\d+)?)?)?Z?)");
  std::smatch m;
  if (!std::regex_match(text, m, iso)) return std::nullopt;
  const auto num = [&](std::size_t i) { return m[i].matched ? std::stoi(m[i].str()) : 0; };
  const int year = num(1), month = num(2), day = num(3), hour = num(4), minute = num(5), second = num(6);
  const moon::Real fraction = m[7].matched ? std::stold("0" + m[7].str()) : 0;
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const moon::Instant t = moon::make_instant(year, month, day, hour, minute, second + fraction);
  // 31 April and the like would land on another date.
  const moon::CalendarTime back = moon::calendar_time(moon::make_instant(year, month, day));
  if (back.day != day || back.month != month) return std::nullopt;
  return t;
}

// The offset of the system time zone at that instant, in the windows' minutes.
long offset_minutes_at(moon::Instant u) {
  const auto seconds = static_cast<std::time_t>((u - 25569.0L) * 86400.0L);
  std::tm tm{};
  if (!localtime_r(&seconds, &tm)) return 0;
  return -tm.tm_gmtoff / 60;
}

}  // namespace

int run_moon(const std::vector<std::string>& args) {
  if (args.size() != 1 && args.size() != 3)
    return usage_error("moon needs an INSTANT and maybe LATITUDE and LONGITUDE");
  const auto u = parse_instant(args[0]);
  if (!u) return usage_error("moon: INSTANT must be a UTC date and time like 2026-12-11T14:05:09Z, not " + args[0]);
  int latitude = 0, longitude = 0;
  if (args.size() == 3) {
    // A text that is not a number, or one beyond the range, reads as a
    // value beyond the range here.
    latitude = moon::field_value(args[1], -1000, 1000);
    longitude = moon::field_value(args[2], -1000, 1000);
    if (latitude < moon::kMinLatitude || latitude > moon::kMaxLatitude)
      return usage_error("moon: LATITUDE must be a whole number from -90 to 90 (north positive)");
    if (longitude < moon::kMinLongitude || longitude > moon::kMaxLongitude)
      return usage_error("moon: LONGITUDE must be a whole number from -180 to 180 (west positive)");
  }
  const moon::MonthNames& months = moon::english_month_names();
  const long offset = offset_minutes_at(*u);
  const moon::MoontoolValues v =
      moon::moontool_values(*u - static_cast<moon::Real>(offset) / 1440.0L, offset, true, months);
  moon::MoreDataValues more;
  try {
    more = moon::more_data_values(*u, latitude, longitude, months);
  } catch (const moon::E_OutOfAlgorithRange& e) {
    std::cerr << "cirrodex-inspect: moon: " << e.what() << " (the seasons need a year from 1000 to 3000)\n";
    return 1;
  }
  const std::vector<std::pair<const char*, std::string>> lines = {
      {"Julian date:", v.julian_date},
      {"Universal time:", v.universal_time},
      {"Local time:", v.local_time},
      {"Age of the moon:", v.age},
      {"Moon phase:", v.phase},
      {"Moon's distance:", v.moon_distance},
      {"Moon subtends:", v.moon_subtends},
      {"Sun's distance:", v.sun_distance},
      {"Sun subtends:", v.sun_subtends},
      {"Last new moon:", v.last_new_moon},
      {"Lunation:", v.last_lunation},
      {"First quarter:", v.first_quarter},
      {"Full moon:", v.full_moon},
      {"Last quarter:", v.last_quarter},
      {"New new moon:", v.next_new_moon},
      {"Lunation:", v.next_lunation},
      {"Latitude:", std::to_string(latitude)},
      {"Longitude:", std::to_string(longitude)},
      {"Spring Equinox:", more.spring},
      {"Summer Solstice:", more.summer},
      {"Autumn Equinox:", more.autumn},
      {"Winter Solstice:", more.winter},
      {"Sun rise:", more.sun_rise},
      {"Sun transit:", more.sun_transit},
      {"Sun set:", more.sun_set},
      {"Moon rise:", more.moon_rise},
      {"Moon transit:", more.moon_transit},
      {"Moon set:", more.moon_set},
      {"Next perigee:", more.perigee},
      {"Next apogee:", more.apogee},
      {"Next moon eclipse:", more.moon_eclipse + " " + more.moon_eclipse_type},
      {"Next sun eclipse:", more.sun_eclipse + " " + more.sun_eclipse_type}};
  for (const auto& [caption, value] : lines) std::cout << caption << ' ' << value << '\n';
  return 0;
}

}  // namespace cirrodex::inspect
