#include "platform/text.h"

#include <algorithm>
#include <limits>

namespace cirrodex::text {

std::int64_t find(std::string_view hay, std::string_view needle) { return find_from(hay, needle, 1); }

std::int64_t find_from(std::string_view hay, std::string_view needle, std::int64_t from) {
  if (needle.empty()) return 0;
  const std::size_t start = from < 1 ? 0 : static_cast<std::size_t>(from - 1);
  if (start >= hay.size()) return 0;
  const std::size_t at = hay.find(needle, start);
  return at == std::string_view::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

std::string copy(std::string_view s, std::int64_t pos, std::int64_t count) {
  if (count < 1) return {};
  if (pos < 1) pos = 1;
  const auto size = static_cast<std::int64_t>(s.size());
  if (pos > size) return {};
  const std::int64_t n = std::min(count, size - pos + 1);
  return std::string(s.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(n)));
}

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (true) {
    const std::size_t at = s.find(from, i);
    if (at == std::string_view::npos) break;
    out.append(s.substr(i, at - i));
    out.append(to);
    i = at + from.size();
  }
  out.append(s.substr(i));
  return out;
}

namespace {
bool is_blank(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string trim_left(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && is_blank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string trim_right(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && is_blank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && is_blank(s[b])) ++b;
  while (e > b && is_blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

namespace {
char fold_up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char fold_down(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string upper(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), fold_up);
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), fold_down);
  return out;
}

int icompare(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(fold_down(a[i]));
    const auto cb = static_cast<unsigned char>(fold_down(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool iequals(std::string_view a, std::string_view b) { return a.size() == b.size() && icompare(a, b) == 0; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string_view> lines(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t end = s.find('\n', start);
    if (end == std::string_view::npos) end = s.size();
    std::string_view line = s.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    start = end + 1;
  }
  return out;
}

std::optional<std::int64_t> to_integer(std::string_view s) {
  if (s.empty()) return std::nullopt;
  bool negative = false;
  std::size_t i = 0;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  unsigned base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  // Accumulate as a negative number so that the most negative value fits.
  std::int64_t value = 0;
  const std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d = -1;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    if (value < (lowest + d) / static_cast<std::int64_t>(base)) return std::nullopt;
    value = value * static_cast<std::int64_t>(base) - d;
  }
  if (!negative) {
    if (value == lowest) return std::nullopt;
    value = -value;
  }
  return value;
}

std::string latin1_to_utf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string utf8_to_latin1(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  auto cont = [&](std::size_t k) { return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80; };
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      len = 1;
      cp = c;
    } else if ((c & 0xE0) == 0xC0 && c >= 0xC2 && cont(i + 1)) {
      len = 2;
      cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
    } else if ((c & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
      len = 3;
      cp = 0x800;  // anything here is above 255
    } else if ((c & 0xF8) == 0xF0 && c <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      len = 4;
      cp = 0x10000;
    }
    if (len == 0) {  // not UTF-8: the byte itself is the Latin-1 character
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
    i += len;
  }
  return out;
}

}  // namespace cirrodex::text
