#include "service/metar_groups.h"

#include <algorithm>
#include <array>

namespace cirrodex::metar_groups {

namespace {

constexpr double kMetresPerStatuteMile = 1609.344;
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
constexpr double kKnotsPerKilometrePerHour = 1000.0 / 1852.0;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The value of a text of digits only (callers check that first and keep it short).
int number(std::string_view s) {
  int n = 0;
  for (const char c : s) n = n * 10 + (c - '0');
  return n;
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

template <std::size_t N>
bool one_of(std::string_view s, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

constexpr std::array<std::string_view, 8> kCompass{"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
constexpr std::array<std::string_view, 8> kDescriptors{"MI", "PR", "BC", "DR", "BL", "SH", "TS", "FZ"};
constexpr std::array<std::string_view, 22> kPhenomena{"DZ", "RA", "SN", "SG", "IC", "PL", "GR", "GS", "UP", "BR", "FG",
                                                      "FU", "VA", "DU", "SA", "HZ", "PY", "PO", "SQ", "FC", "SS", "DS"};

// A speed of two or three digits, "P" allowed before it for "more than".
std::optional<int> speed(std::string_view s) {
  if (!s.empty() && s[0] == 'P') s.remove_prefix(1);
  if ((s.size() == 2 || s.size() == 3) && all_digits(s)) return number(s);
  return std::nullopt;
}

// "10", "1/2", "1 1/2" in statute miles; empty for anything else.
std::optional<double> statute_miles(std::string_view s) {
  std::string_view whole;
  std::string_view fraction = s;
  if (const std::size_t blank = s.find(' '); blank != std::string_view::npos) {
    whole = s.substr(0, blank);
    fraction = s.substr(blank + 1);
    if (whole.empty() || whole.size() > 2 || !all_digits(whole)) return std::nullopt;
  }
  const std::size_t slash = fraction.find('/');
  if (slash == std::string_view::npos) {
    if (!whole.empty() || fraction.empty() || fraction.size() > 3 || !all_digits(fraction)) return std::nullopt;
    return number(fraction);
  }
  const std::string_view num = fraction.substr(0, slash);
  const std::string_view den = fraction.substr(slash + 1);
  if (num.size() != 1 || den.empty() || den.size() > 2 || !all_digits(num) || !all_digits(den)) return std::nullopt;
  if (number(den) == 0 || number(num) >= number(den)) return std::nullopt;
  return (whole.empty() ? 0.0 : number(whole)) + static_cast<double>(number(num)) / number(den);
}

bool two_digit_value(std::string_view s, std::optional<double>& out) {
  bool minus = false;
  if (!s.empty() && s[0] == 'M') {
    minus = true;
    s.remove_prefix(1);
  }
  if (s.size() != 2 || !all_digits(s)) return false;
  // "M00" is a temperature just below zero, shown as 0.
  out = minus && number(s) != 0 ? -number(s) : number(s);
  return true;
}

// One side of TT/DD: a value, or empty, "M" or slashes for missing.
bool temperature_part(std::string_view s, std::optional<double>& out) {
  out.reset();
  if (s.empty() || s == "M" || (s.size() <= 2 && all_slashes(s))) return true;
  return two_digit_value(s, out);
}

std::optional<double> tenths(std::string_view s) {
  if (s.size() != 4 || (s[0] != '0' && s[0] != '1') || !all_digits(s)) return std::nullopt;
  const double value = number(s.substr(1)) / 10.0;
  return s[0] == '1' && value != 0.0 ? -value : value;
}

}  // namespace

bool all_digits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), is_digit); }

bool all_slashes(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c == '/'; });
}

std::optional<MetarTime> time(std::string_view g) {
  if (g.size() != 7 || g[6] != 'Z' || !all_digits(g.substr(0, 6))) return std::nullopt;
  const MetarTime t{number(g.substr(0, 2)), number(g.substr(2, 2)), number(g.substr(4, 2))};
  if (t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59) return std::nullopt;
  return t;
}

bool wind(std::string_view g, std::optional<MetarWind>& out) {
  double factor = 1.0;
  if (ends_with(g, "KT")) {
    g.remove_suffix(2);
  } else if (ends_with(g, "MPS")) {
    g.remove_suffix(3);
    factor = kKnotsPerMetrePerSecond;
  } else if (ends_with(g, "KMH")) {
    g.remove_suffix(3);
    factor = kKnotsPerKilometrePerHour;
  } else {
    return false;
  }
  if (g.size() < 5) return false;
  const std::string_view dir = g.substr(0, 3);
  std::string_view rest = g.substr(3);
  std::string_view gust;
  if (const std::size_t at = rest.find('G'); at != std::string_view::npos) {
    gust = rest.substr(at + 1);
    rest = rest.substr(0, at);
  }

  MetarWind w;
  if (dir == "VRB") {
    w.variable = true;
  } else if (all_digits(dir)) {
    if (number(dir) > 360) return false;
    w.direction = number(dir);
  } else if (dir != "///") {
    return false;
  }
  if (const auto s = speed(rest)) {
    w.speed_kt = *s * factor;
  } else if (rest != "//") {
    return false;
  }
  if (const auto s = speed(gust)) {
    w.gust_kt = *s * factor;
  } else if (!gust.empty() && gust != "//") {
    return false;
  }
  if (g.find('G') != std::string_view::npos && gust.empty()) return false;  // "G" with nothing after it

  if (w.calm()) w.direction.reset();  // 00000KT: there is no direction to speak of
  if (!w.speed_kt && !w.direction && !w.variable) {
    out.reset();  // /////KT
  } else {
    out = w;
  }
  return true;
}

bool wind_sector(std::string_view g, MetarWind& wind) {
  if (g.size() != 7 || g[3] != 'V' || !all_digits(g.substr(0, 3)) || !all_digits(g.substr(4))) return false;
  const int from = number(g.substr(0, 3));
  const int to = number(g.substr(4));
  if (from > 360 || to > 360) return false;
  wind.varies_from = from;
  wind.varies_to = to;
  return true;
}

bool visibility(std::string_view g, std::optional<MetarVisibility>& out) {
  if (g == "CAVOK") {
    out = MetarVisibility{10000, VisibilityBound::AtLeast, ""};
    return true;
  }
  if (ends_with(g, "SM")) {
    std::string_view body = g.substr(0, g.size() - 2);
    if (all_slashes(body)) {
      out.reset();
      return true;
    }
    MetarVisibility v;
    if (!body.empty() && (body[0] == 'M' || body[0] == 'P')) {
      v.bound = body[0] == 'M' ? VisibilityBound::LessThan : VisibilityBound::AtLeast;
      body.remove_prefix(1);
    }
    const auto miles = statute_miles(body);
    if (!miles) return false;
    v.metres = *miles * kMetresPerStatuteMile;
    v.statute_miles = std::string(body);
    out = v;
    return true;
  }
  if (g.size() < 4 || !all_digits(g.substr(0, 4))) return false;
  const std::string_view tail = g.substr(4);
  if (!tail.empty() && tail != "NDV" && !one_of(tail, kCompass)) return false;
  const int metres = number(g.substr(0, 4));
  // 9999 stands for "10 km or more".
  out = metres == 9999 ? MetarVisibility{10000, VisibilityBound::AtLeast, ""}
                       : MetarVisibility{static_cast<double>(metres), VisibilityBound::Exact, ""};
  return true;
}

bool directional_visibility(std::string_view g) {
  return g.size() >= 5 && all_digits(g.substr(0, 4)) && one_of(g.substr(4), kCompass);
}

bool visibility_whole_part(std::string_view g, std::string_view next) {
  if (g.empty() || g.size() > 2 || !all_digits(g) || !ends_with(next, "SM")) return false;
  const std::string_view fraction = next.substr(0, next.size() - 2);
  return fraction.find('/') != std::string_view::npos && statute_miles(fraction).has_value();
}

bool runway_group(std::string_view g) {
  if (g.size() < 3 || g[0] != 'R') return false;
  if (g[1] == '/') return true;  // R/SNOCLO
  return is_digit(g[1]) && is_digit(g[2]) && g.find('/') != std::string_view::npos;
}

std::optional<WeatherGroup> weather(std::string_view g) {
  WeatherGroup w;
  w.text = std::string(g);
  if (!g.empty() && (g[0] == '-' || g[0] == '+')) {
    w.intensity = g[0] == '-' ? WeatherIntensity::Light : WeatherIntensity::Heavy;
    g.remove_prefix(1);
  }
  if (g.substr(0, 2) == "VC") {
    w.vicinity = true;
    g.remove_prefix(2);
  }
  if (g.size() >= 2 && one_of(g.substr(0, 2), kDescriptors)) {
    w.descriptor = std::string(g.substr(0, 2));
    g.remove_prefix(2);
  }
  if (g.size() % 2 != 0) return std::nullopt;
  for (; !g.empty(); g.remove_prefix(2)) {
    if (!one_of(g.substr(0, 2), kPhenomena)) return std::nullopt;
    w.phenomena.emplace_back(g.substr(0, 2));
  }
  // A descriptor stands alone only for a thunderstorm or showers (TS, VCSH).
  if (w.phenomena.empty() && w.descriptor != "TS" && w.descriptor != "SH") return std::nullopt;
  return w;
}

std::optional<SkyLayer> sky(std::string_view g) {
  SkyLayer s;
  s.text = std::string(g);
  if (g == "SKC" || g == "CLR" || g == "NSC" || g == "NCD") {
    s.cover = SkyCover::Clear;
    return s;
  }
  std::string_view rest;
  if (g.substr(0, 2) == "VV") {
    s.cover = SkyCover::Obscured;
    rest = g.substr(2);
    if (rest.size() != 3) return std::nullopt;
  } else {
    const std::string_view cover = g.substr(0, 3);
    if (cover == "FEW")
      s.cover = SkyCover::Few;
    else if (cover == "SCT")
      s.cover = SkyCover::Scattered;
    else if (cover == "BKN")
      s.cover = SkyCover::Broken;
    else if (cover == "OVC")
      s.cover = SkyCover::Overcast;
    else if (cover == "///")
      s.cover = SkyCover::Unknown;
    else
      return std::nullopt;
    rest = g.substr(3);
    if (rest.size() < 3) return std::nullopt;
    const std::string_view cloud = rest.substr(3);
    if (cloud == "CB" || cloud == "TCU")
      s.cloud = std::string(cloud);
    else if (!cloud.empty() && cloud != "///")
      return std::nullopt;
  }
  const std::string_view height = rest.substr(0, 3);
  if (all_digits(height))
    s.base_ft = number(height) * 100;
  else if (height != "///")
    return std::nullopt;
  return s;
}

bool temperatures(std::string_view g, std::optional<double>& temperature, std::optional<double>& dewpoint) {
  const std::size_t slash = g.find('/');
  if (slash == std::string_view::npos || all_slashes(g)) return false;
  std::optional<double> t;
  std::optional<double> d;
  if (!temperature_part(g.substr(0, slash), t) || !temperature_part(g.substr(slash + 1), d)) return false;
  temperature = t;
  dewpoint = d;
  return true;
}

bool tenths_temperatures(std::string_view g, std::optional<double>& temperature, std::optional<double>& dewpoint) {
  if ((g.size() != 5 && g.size() != 9) || g[0] != 'T') return false;
  const auto t = tenths(g.substr(1, 4));
  if (!t) return false;
  std::optional<double> d;
  if (g.size() == 9) {
    d = tenths(g.substr(5, 4));
    if (!d) return false;
  }
  temperature = t;
  if (d) dewpoint = d;
  return true;
}

bool pressure(std::string_view g, std::optional<MetarPressure>& out) {
  if (g.size() != 5 || (g[0] != 'A' && g[0] != 'Q')) return false;
  const std::string_view digits = g.substr(1);
  const PressureUnit unit = g[0] == 'A' ? PressureUnit::InchesOfMercury : PressureUnit::Hectopascals;
  if (all_slashes(digits)) {
    out.reset();
    return true;
  }
  if (!all_digits(digits)) return false;
  out = MetarPressure{unit == PressureUnit::InchesOfMercury ? number(digits) / 100.0 : number(digits), unit};
  return true;
}

}  // namespace cirrodex::metar_groups
