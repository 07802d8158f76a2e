#include "service/request.h"

#include "platform/text.h"

namespace cirrodex::service {
namespace {

constexpr std::string_view kPagePrefix = "/auto/Cirrodex/";
constexpr std::string_view kRawPrefix = "/auto/raw/";
constexpr std::string_view kStationsPrefix = "global/stations/";
constexpr std::string_view kCounterPath = "/assets/CirrodexCount.txt";
constexpr std::string_view kVersionPath = "/assets/cirrodexvs.txt";
// A client may send a few empty lines before the request line.
constexpr int kMaxLeadingBlankLines = 4;

bool is_token_char(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= 32 || u >= 127) return false;
  return std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

bool is_token(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!is_token_char(c)) return false;
  return true;
}

bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Latin-1 letters: the accented capitals and small letters, without the
// multiplication and division signs.
bool is_latin1_letter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0xC0 && u != 0xD7 && u != 0xF7;
}

bool is_digits(std::string_view s, std::size_t count) {
  if (s.size() != count) return false;
  for (char c : s)
    if (!text::is_digit(c)) return false;
  return true;
}

bool is_city_char(char c) {
  return is_ascii_letter(c) || text::is_digit(c) || is_latin1_letter(c) || c == '_' || c == '.' || c == '\'' ||
         c == '-';
}

Refusal refused(int status, std::string reason) { return Refusal{status, std::move(reason)}; }

// The target's path: origin form as it is, absolute form without scheme and
// host; the query is dropped. Empty when the target is neither form.
std::optional<std::string> path_of(std::string_view target) {
  if (target.empty()) return std::nullopt;
  if (target.front() != '/') {
    const std::size_t scheme_end = target.find("://");
    if (scheme_end == std::string_view::npos) return std::nullopt;
    const std::string scheme = text::lower(target.substr(0, scheme_end));
    if (scheme != "http" && scheme != "https") return std::nullopt;
    const std::size_t slash = target.find('/', scheme_end + 3);
    target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
  }
  return std::string(target.substr(0, target.find_first_of("?#")));
}

// The request line "METHOD SP target SP HTTP/1.x".
std::optional<Refusal> read_request_line(std::string_view line, RequestHead& head) {
  const std::size_t sp1 = line.find(' ');
  const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
    return refused(400, "malformed request line");
  const std::string_view method = line.substr(0, sp1);
  const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  const std::string_view version = line.substr(sp2 + 1);
  if (!is_token(method)) return refused(400, "malformed method");
  for (char c : target) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) return refused(400, "control byte in the target");
  }
  if (target.size() > kMaxPathBytes) return refused(414, "request target too long");
  if (version.size() != 8 || !version.starts_with("HTTP/") || !text::is_digit(version[5]) || version[6] != '.' ||
      !text::is_digit(version[7]))
    return refused(400, "malformed HTTP version");
  if (version[5] != '1') return refused(505, "HTTP version not supported");
  const auto path = path_of(target);
  if (!path) return refused(400, "request target neither a path nor an address");
  head.method = std::string(method);
  head.kind = method == "GET" ? Method::Get : method == "HEAD" ? Method::Head : Method::Other;
  head.target = std::string(target);
  head.path = *path;
  head.minor_version = version[7] - '0';
  return std::nullopt;
}

std::optional<Refusal> read_header_line(std::string_view line, RequestHead& head) {
  if (line.front() == ' ' || line.front() == '\t') return refused(400, "folded header line");
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || !is_token(line.substr(0, colon))) return refused(400, "malformed header");
  const std::string_view value = line.substr(colon + 1);
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 32 && c != '\t') || u == 127) return refused(400, "control byte in a header");
  }
  if (head.headers.size() >= kMaxHeaders) return refused(431, "too many header lines");
  head.headers.emplace_back(std::string(line.substr(0, colon)), text::trim(value));
  return std::nullopt;
}

}  // namespace

std::optional<std::string_view> RequestHead::header(std::string_view name) const {
  for (const auto& [field, value] : headers)
    if (text::iequals(field, name)) return std::string_view(value);
  return std::nullopt;
}

HeadParse parse_request_head(std::string_view received) {
  HeadParse result;
  auto refuse = [&](Refusal r) {
    result.state = HeadParse::State::Refused;
    result.refusal = std::move(r);
    return result;
  };
  if (received.find('\0') != std::string_view::npos) return refuse(refused(400, "NUL byte in the request"));
  std::size_t pos = 0;
  int blank_lines = 0;
  bool have_request_line = false;
  while (true) {
    const std::size_t nl = received.find('\n', pos);
    if (nl == std::string_view::npos) {
      if (received.size() > kMaxHeadBytes) return refuse(refused(431, "request head too large"));
      // Bytes that cannot begin a request (a TLS hello, say) need not wait
      // for a line end that may never come.
      if (!have_request_line) {
        const std::string_view start = received.substr(pos);
        const std::string_view method = start.substr(0, start.find(' '));
        for (char c : method)
          if (!is_token_char(c) && c != '\r') return refuse(refused(400, "not an HTTP request"));
      }
      return result;  // Incomplete
    }
    if (nl + 1 > kMaxHeadBytes) return refuse(refused(431, "request head too large"));
    std::string_view line = received.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = nl + 1;
    if (!have_request_line) {
      if (line.empty()) {
        if (++blank_lines > kMaxLeadingBlankLines) return refuse(refused(400, "no request line"));
        continue;
      }
      if (auto bad = read_request_line(line, result.head)) return refuse(std::move(*bad));
      have_request_line = true;
      continue;
    }
    if (line.empty()) break;
    if (auto bad = read_header_line(line, result.head)) return refuse(std::move(*bad));
  }
  if (result.head.minor_version >= 1 && !result.head.header("Host"))
    return refuse(refused(400, "HTTP/1.1 request without Host"));
  result.state = HeadParse::State::Complete;
  result.head_bytes = pos;
  return result;
}

Route route(std::string_view path) {
  if (path.size() > kMaxPathBytes) return refused(414, "path too long");
  if (path.empty() || path.front() != '/') return refused(400, "path does not start with /");
  for (char c : path) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) return refused(400, "control byte in the path");
    if (c == '%') return refused(400, "percent-encoded path");
    if (c == '\\') return refused(400, "backslash in the path");
  }
  // No real place has ".." in its name; refusing it anywhere leaves no
  // doubt about traversal.
  if (path.find("..") != std::string_view::npos) return refused(400, "dotted path");
  // Segments: none may be ".", none but the last may be empty.
  for (std::size_t start = 1; start <= path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (segment == ".") return refused(400, "dotted path");
    if (segment.empty() && end != path.size()) return refused(400, "empty path segment");
    start = end + 1;
  }

  if (path == kCounterPath) return UsageCounterRoute{};
  if (path == kVersionPath) return VersionFileRoute{};

  ConditionsRoute conditions;
  std::string_view rest;
  if (path.starts_with(kPagePrefix)) {
    conditions.form = Form::Page;
    rest = path.substr(kPagePrefix.size());
  } else if (path.starts_with(kRawPrefix)) {
    conditions.form = Form::Raw;
    rest = path.substr(kRawPrefix.size());
  } else {
    return NotFoundRoute{"no such document"};
  }

  if (rest.starts_with(kStationsPrefix)) {
    const std::string_view file = rest.substr(kStationsPrefix.size());
    if (file.ends_with(".html") && is_digits(file.substr(0, file.size() - 5), 5)) {
      conditions.place = WmoStation{std::string(file.substr(0, 5))};
      return conditions;
    }
    return NotFoundRoute{"not a five-digit station number"};
  }
  if (is_digits(rest, 5)) {
    conditions.place = ZipCode{std::string(rest)};
    return conditions;
  }
  if (rest.size() > 3 && is_ascii_letter(rest[0]) && is_ascii_letter(rest[1]) && rest[2] == '/' &&
      rest.ends_with(".html")) {
    const std::string_view city = rest.substr(3, rest.size() - 3 - 5);
    bool has_letter_or_digit = false;
    for (char c : city) {
      if (!is_city_char(c)) return NotFoundRoute{"not a city name"};
      if (is_ascii_letter(c) || text::is_digit(c) || is_latin1_letter(c)) has_letter_or_digit = true;
    }
    if (!has_letter_or_digit) return NotFoundRoute{"not a city name"};
    conditions.place = UsCity{text::upper(rest.substr(0, 2)), std::string(city)};
    return conditions;
  }
  return NotFoundRoute{"not a place address"};
}

std::string city_name(const UsCity& place) { return text::replace_all(place.city, "_", " "); }

std::string describe(const Place& place) {
  if (const auto* us = std::get_if<UsCity>(&place)) return us->state + "/" + us->city;
  if (const auto* zip = std::get_if<ZipCode>(&place)) return "zip " + zip->zip;
  return "WMO " + std::get<WmoStation>(place).wmo;
}

}  // namespace cirrodex::service
