#include "service/tzif.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <limits>

namespace cirrodex::service {

namespace {

constexpr std::int64_t kDay = 86400;

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::int64_t days_of(int year, unsigned month, unsigned day) {
  using namespace std::chrono;
  return sys_days{year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}}}
      .time_since_epoch()
      .count();
}

int year_of_day(std::int64_t days) {
  using namespace std::chrono;
  return static_cast<int>(year_month_day{sys_days{std::chrono::days{days}}}.year());
}

bool is_leap(int year) { return std::chrono::year{year}.is_leap(); }

// A cursor over a TZ string.
class TzText {
 public:
  explicit TzText(std::string_view s) : s_(s) {}
  bool done() const { return pos_ == s_.size(); }
  bool peek(char c) const { return pos_ < s_.size() && s_[pos_] == c; }
  bool take(char c) {
    if (!peek(c)) return false;
    ++pos_;
    return true;
  }

  // "CST", or "<+0330>" (the brackets not kept).
  std::optional<std::string> name() {
    std::string out;
    if (take('<')) {
      while (pos_ < s_.size() && s_[pos_] != '>') {
        const char c = s_[pos_++];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-') return std::nullopt;
        out.push_back(c);
      }
      if (!take('>') || out.empty()) return std::nullopt;
      return out;
    }
    while (pos_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[pos_]))) out.push_back(s_[pos_++]);
    if (out.size() < 3) return std::nullopt;
    return out;
  }

  std::optional<int> number(int max) {
    int n = 0;
    const std::size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      n = n * 10 + (s_[pos_++] - '0');
      if (n > max) return std::nullopt;
    }
    if (pos_ == start) return std::nullopt;
    return n;
  }

  // [+-]hh[:mm[:ss]] in seconds.
  std::optional<std::int32_t> duration(int max_hours) {
    int sign = 1;
    if (take('-'))
      sign = -1;
    else
      take('+');
    const auto h = number(max_hours);
    if (!h) return std::nullopt;
    std::int32_t seconds = *h * 3600;
    if (take(':')) {
      const auto m = number(59);
      if (!m) return std::nullopt;
      seconds += *m * 60;
      if (take(':')) {
        const auto sec = number(59);
        if (!sec) return std::nullopt;
        seconds += *sec;
      }
    }
    return sign * seconds;
  }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

// Big-endian fields of a TZif file, never read past its end.
class Bytes {
 public:
  explicit Bytes(std::string_view b) : b_(b) {}
  std::size_t left() const { return b_.size() - pos_; }
  std::size_t position() const { return pos_; }
  void skip(std::size_t n) { pos_ += n; }
  std::string_view view(std::size_t n) const { return b_.substr(pos_, n); }
  std::uint64_t be(std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b_[pos_ + i]);
    pos_ += n;
    return v;
  }
  std::string_view rest() const { return b_.substr(pos_); }

 private:
  std::string_view b_;
  std::size_t pos_ = 0;
};

struct Counts {
  std::uint64_t isut = 0, isstd = 0, leap = 0, time = 0, type = 0, chars = 0;
};

constexpr std::size_t kHeaderBytes = 44;

std::optional<Counts> header(Bytes& in, char& version) {
  if (in.left() < kHeaderBytes || in.view(4) != "TZif") return std::nullopt;
  version = in.view(5)[4];
  in.skip(20);
  Counts c;
  c.isut = in.be(4);
  c.isstd = in.be(4);
  c.leap = in.be(4);
  c.time = in.be(4);
  c.type = in.be(4);
  c.chars = in.be(4);
  return c;
}

std::uint64_t block_bytes(const Counts& c, std::uint64_t time_size) {
  return c.time * time_size + c.time + c.type * 6 + c.chars + c.leap * (time_size + 4) + c.isstd + c.isut;
}

}  // namespace

std::optional<PosixTimeZone> PosixTimeZone::parse(std::string_view text) {
  TzText in(text);
  PosixTimeZone z;
  auto std_name = in.name();
  if (!std_name) return std::nullopt;
  const auto std_offset = in.duration(24);
  if (!std_offset) return std::nullopt;
  z.standard_ = {-*std_offset, false, std::move(*std_name)};
  if (in.done()) return z;

  auto dst_name = in.name();
  if (!dst_name) return std::nullopt;
  z.has_dst_ = true;
  z.daylight_ = {z.standard_.utc_offset + 3600, true, std::move(*dst_name)};
  if (!in.peek(',') && !in.done()) {
    const auto dst_offset = in.duration(24);
    if (!dst_offset) return std::nullopt;
    z.daylight_.utc_offset = -*dst_offset;
  }
  // Without rules the changes are those of the United States since 2007.
  z.start_ = {Change::Kind::MonthWeekDay, 0, 2, 3, 7200};
  z.end_ = {Change::Kind::MonthWeekDay, 0, 1, 11, 7200};
  if (in.done()) return z;

  for (Change* c : {&z.start_, &z.end_}) {
    if (!in.take(',')) return std::nullopt;
    if (in.take('J')) {
      const auto n = in.number(365);
      if (!n || *n < 1) return std::nullopt;
      *c = {Change::Kind::Julian1, *n, 0, 0, 7200};
    } else if (in.take('M')) {
      const auto m = in.number(12);
      if (!m || *m < 1 || !in.take('.')) return std::nullopt;
      const auto w = in.number(5);
      if (!w || *w < 1 || !in.take('.')) return std::nullopt;
      const auto d = in.number(6);
      if (!d) return std::nullopt;
      *c = {Change::Kind::MonthWeekDay, *d, *w, *m, 7200};
    } else {
      const auto n = in.number(365);
      if (!n) return std::nullopt;
      *c = {Change::Kind::Julian0, *n, 0, 0, 7200};
    }
    if (in.take('/')) {
      // Version 3 files allow -167 to 167 hours here.
      const auto t = in.duration(167);
      if (!t) return std::nullopt;
      c->time = *t;
    }
  }
  if (!in.done()) return std::nullopt;
  return z;
}

std::int64_t PosixTimeZone::instant(const Change& c, int year, std::int32_t offset) {
  std::int64_t day = days_of(year, 1, 1);
  switch (c.kind) {
    case Change::Kind::Julian1:
      // Day 1 to 365; 29 February is never counted.
      day += c.day - 1 + ((is_leap(year) && c.day >= 60) ? 1 : 0);
      break;
    case Change::Kind::Julian0:
      day += c.day;
      break;
    case Change::Kind::MonthWeekDay: {
      using namespace std::chrono;
      const auto m = static_cast<unsigned>(c.month);
      const std::int64_t first = days_of(year, m, 1);
      const auto first_weekday = static_cast<int>(weekday{sys_days{std::chrono::days{first}}}.c_encoding());
      int d = 1 + (c.day - first_weekday + 7) % 7 + (c.week - 1) * 7;
      const auto length = static_cast<int>(static_cast<unsigned>(
          year_month_day_last{std::chrono::year{year}, month_day_last{std::chrono::month{m}}}.day()));
      while (d > length) d -= 7;
      day = first + d - 1;
      break;
    }
  }
  return day * kDay + c.time - offset;
}

LocalTimeType PosixTimeZone::at(std::int64_t t) const {
  if (!has_dst_) return standard_;
  // The rule repeats every year; keep the year within the calendar's range.
  constexpr std::int64_t kTenThousandYears = 10000LL * 146097 / 400 * kDay;
  t = std::clamp(t, -kTenThousandYears, kTenThousandYears);
  const int year = year_of_day(floor_div(t + standard_.utc_offset, kDay));
  const std::int64_t start = instant(start_, year, standard_.utc_offset);
  const std::int64_t end = instant(end_, year, daylight_.utc_offset);
  // Northern rules run from start to end within a year, southern ones from
  // start to the end of the next.
  const bool dst = start < end ? (start <= t && t < end) : !(end <= t && t < start);
  return dst ? daylight_ : standard_;
}

std::optional<TimeZoneRules> TimeZoneRules::parse(std::string_view bytes, std::string* error) {
  const auto fail = [&](const char* why) -> std::optional<TimeZoneRules> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  Bytes in(bytes);
  char version = 0;
  auto counts = header(in, version);
  if (!counts) return fail("not a TZif file");
  std::uint64_t time_size = 4;
  if (version != '\0') {
    // Version 2 and later repeat the data with 64-bit times after the first block.
    if (block_bytes(*counts, 4) > in.left()) return fail("truncated");
    in.skip(static_cast<std::size_t>(block_bytes(*counts, 4)));
    char again = 0;
    counts = header(in, again);
    if (!counts) return fail("no second header");
    time_size = 8;
  }
  const Counts& c = *counts;
  if (c.type == 0 || c.type > 256 || c.chars == 0 || c.time > 100000 || c.leap > 100000 ||
      (c.isstd != 0 && c.isstd != c.type) || (c.isut != 0 && c.isut != c.type))
    return fail("bad counts");
  if (block_bytes(c, time_size) > in.left()) return fail("truncated");

  TimeZoneRules z;
  z.transitions_.reserve(c.time);
  for (std::uint64_t i = 0; i < c.time; ++i) {
    const std::uint64_t raw = in.be(time_size);
    const std::int64_t t =
        time_size == 8 ? static_cast<std::int64_t>(raw) : static_cast<std::int64_t>(static_cast<std::int32_t>(raw));
    if (!z.transitions_.empty() && t <= z.transitions_.back()) return fail("transitions out of order");
    z.transitions_.push_back(t);
  }
  z.type_after_.reserve(c.time);
  for (std::uint64_t i = 0; i < c.time; ++i) {
    const auto index = static_cast<std::uint8_t>(in.be(1));
    if (index >= c.type) return fail("bad type index");
    z.type_after_.push_back(index);
  }
  struct RawType {
    std::int32_t offset;
    bool dst;
    std::size_t name;
  };
  std::vector<RawType> raw;
  for (std::uint64_t i = 0; i < c.type; ++i) {
    const auto offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(in.be(4)));
    const bool dst = in.be(1) != 0;
    const auto name = static_cast<std::size_t>(in.be(1));
    if (offset == std::numeric_limits<std::int32_t>::min() || name >= c.chars) return fail("bad local time type");
    raw.push_back({offset, dst, name});
  }
  const std::string_view chars = in.view(static_cast<std::size_t>(c.chars));
  in.skip(static_cast<std::size_t>(c.chars));
  for (const RawType& r : raw) {
    const std::size_t end = chars.find('\0', r.name);
    if (end == std::string_view::npos) return fail("abbreviation without end");
    z.types_.push_back({r.offset, r.dst, std::string(chars.substr(r.name, end - r.name))});
  }
  in.skip(static_cast<std::size_t>(c.leap * (time_size + 4) + c.isstd + c.isut));

  if (time_size == 8) {
    const std::string_view rest = in.rest();
    if (rest.empty() || rest.front() != '\n') return fail("no footer");
    const std::size_t end = rest.find('\n', 1);
    if (end == std::string_view::npos) return fail("footer without end");
    const std::string_view tz = rest.substr(1, end - 1);
    if (!tz.empty()) {
      z.footer_ = PosixTimeZone::parse(tz);
      if (!z.footer_) return fail("bad TZ string in the footer");
    }
  }
  return z;
}

LocalTimeType TimeZoneRules::at(std::int64_t t) const {
  if (transitions_.empty()) return footer_ ? footer_->at(t) : types_.front();
  if (t < transitions_.front()) return types_.front();
  const auto after = std::upper_bound(transitions_.begin(), transitions_.end(), t);
  if (after == transitions_.end() && footer_) return footer_->at(t);
  const auto i = static_cast<std::size_t>(after - transitions_.begin()) - 1;
  return types_[type_after_[i]];
}

}  // namespace cirrodex::service
