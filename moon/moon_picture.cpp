#include "moon/moon_picture.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "moon/julian.h"
#include "moon/phases.h"
#include "resources/builtin.h"

namespace cirrodex::moon {
namespace {

constexpr int kFailurePauseMs = 1200;

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && is_leap(year)) return 29;
  return kDays[month - 1];
}

bool is_date(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month);
}

std::string fraction_text(Instant t) {
  const long double f = std::clamp(illuminated_fraction(t), 0.0L, 1.0L);
  char text[16];
  std::snprintf(text, sizeof text, "%.2Lf", f);
  return text;
}

// The whole text as a number, as the date's fields are read.
std::optional<int> whole_number(std::string_view text) {
  int n = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, n);
  if (ec != std::errc() || p != end || text.empty()) return std::nullopt;
  return n;
}

std::string contact(const std::string& support_address) {
  return "If this message keeps appearing, please contact " + support_address + ".";
}

void calc_failure(Host& host) {
  host.beep();
  host.show_status("Error occurred in moon phase calc. (E1).");
  host.pause(kFailurePauseMs);
}

}  // namespace

std::string lit_fraction_text(int year, int month, int day) { return fraction_text(make_instant(year, month, day)); }

std::string year_table_text(int year) {
  std::string table;
  table.reserve(kYearTableLength);
  for (int day = 1; day <= 31; ++day) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", day);
    table += number;
    for (int month = 1; month <= 12; ++month)
      table += is_date(year, month, day) ? lit_fraction_text(year, month, day) : std::string(kMissingDay);
  }
  table += "9999";
  for (int month = 1; month <= 12; ++month) table += kMissingDay;
  return table;
}

std::optional<std::string_view> year_table(int year) {
  if (year < kFirstTableYear || year > kLastTableYear) return std::nullopt;
  const auto text = builtin_resource("MOONYEARS", "TXT");
  if (!text) return std::nullopt;
  // One line per year: "YYYY " and the table.
  const std::string prefix = std::to_string(year) + " ";
  std::size_t at = 0;
  while (at < text->size()) {
    std::size_t end = text->find('\n', at);
    if (end == std::string_view::npos) end = text->size();
    const std::string_view line = text->substr(at, end - at);
    if (line.starts_with(prefix) && line.size() == prefix.size() + kYearTableLength) return line.substr(prefix.size());
    at = end + 1;
  }
  return std::nullopt;
}

std::optional<std::string> table_value(std::string_view table, int day, int month) {
  const long start = ((static_cast<long>(day) - 1) * 13 + month) * 4;
  if (start < 0 || static_cast<std::size_t>(start) + 4 > table.size()) return std::nullopt;
  return std::string(table.substr(static_cast<std::size_t>(start), 4));
}

std::string moon_picture_name(int number) {
  if (number == 0) return "fullmoonx";
  if (number >= 1 && number <= 9) return "GifImage" + std::to_string(number) + "0x";
  if (number >= 10 && number <= 18) return "GifImageL" + std::to_string(number - 9) + "0x";
  if (number == 19) return "newmoonx";
  return "";
}

std::optional<int> moon_picture_number(std::string_view name) {
  for (int n = 0; n < kMoonPictureCount; ++n)
    if (moon_picture_name(n) == name) return n;
  return std::nullopt;
}

std::optional<std::string_view> moon_picture_png(int number) {
  if (number < 0 || number >= kMoonPictureCount) return std::nullopt;
  return builtin_resource("MOON" + std::to_string(number), "PNG");
}

MoonPictureResult choose_moon_picture(const std::string& today, const std::string& next, Host& host,
                                      const std::string& support_address) {
  MoonPictureResult result;
  result.today = today;
  result.next = next;
  // The values keep a fixed form (digit, point, two digits), so comparing
  // the texts compares the numbers.
  const bool falling = today >= next;
  const std::size_t dot = today.find('.');
  if (dot == std::string::npos) {
    host.message_box(
        "Error - no dot found in Moon Phase logic...  " + contact(support_address) + "  (moonp error=" + today + ")",
        MessageKind::Error, MessageButtons::Ok);
    return result;
  }
  if (dot + 1 >= today.size()) {
    calc_failure(host);
    return result;
  }
  std::string name = std::string(falling ? "GifImage" : "GifImageL") + today[dot + 1] + "0x";
  if (today == "1.00") name = "fullmoonx";
  if (today == "0.00" || (today > "0.00" && today < "0.10")) name = "newmoonx";
  result.name = name;
  result.number = moon_picture_number(name);
  if (!result.number)
    host.message_box("Error - invalid moon phase calculation...Moonfile = " + name + "  " + contact(support_address),
                     MessageKind::Error, MessageButtons::Ok);
  return result;
}

MoonPictureResult draw_moon_picture(Clock& clock, Host& host, const std::string& support_address) {
  const LocalDateTime now = clock.now();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d", now.month, now.day, now.year);
  const std::string date = stamp;

  const auto field = [&date](std::size_t from, std::size_t count) {
    return from < date.size() ? std::string_view(date).substr(from, count) : std::string_view();
  };
  const int month = whole_number(field(0, 2)).value_or(0);
  int day = 0;
  if (const auto d = whole_number(field(3, 2))) {
    day = *d;
  } else {
    host.beep();
    host.show_status("Error occurred creating day1 value.");
    host.pause(kFailurePauseMs);
  }
  const std::string_view year_text = field(6, 4);
  const std::optional<int> year = year_text.size() == 4 ? whole_number(year_text) : std::nullopt;
  // Before the Gregorian calendar the moon library has no dates.
  if (!year || *year < 1583) {
    host.message_box("Warning - invalid year1 in moon phase logic.  " + contact(support_address), MessageKind::Warning,
                     MessageButtons::Ok);
    return {};
  }

  std::string today;
  std::string next;
  if (const auto table = year_table(*year)) {
    const auto v = table_value(*table, day, month);
    auto w = table_value(*table, day + 1, month);
    if (w && *w == kMissingDay) {
      if (month == 12) {
        // 31 December: 1 January of the next year, from its table if there is one.
        const auto following = year_table(*year + 1);
        w = following ? table_value(*following, 1, 1) : lit_fraction_text(*year + 1, 1, 1);
      } else {
        w = table_value(*table, 1, month + 1);
      }
    }
    if (!v || !w) {
      calc_failure(host);
      return {};
    }
    today = *v;
    next = *w;
  } else {
    if (!is_date(*year, month, day)) {
      calc_failure(host);
      return {};
    }
    const Instant t = make_instant(*year, month, day);
    today = fraction_text(t);
    next = fraction_text(t + 1);
  }
  return choose_moon_picture(today, next, host, support_address);
}

}  // namespace cirrodex::moon
