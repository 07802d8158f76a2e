// The decoder: the header (type, station, time, modifiers) strictly, the body
// group by group by its form, the remarks only for the tenths temperatures.
#include "service/metar.h"

#include <array>

#include "service/metar_groups.h"

namespace cirrodex {

namespace {

namespace groups = metar_groups;

constexpr double kHectopascalsPerInch = 33.8638866667;
// Longer than any real report with its remarks; a bound for hostile input.
constexpr std::size_t kMaxInput = 4096;

std::vector<std::string_view> split_blanks(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t' && s[j] != '\n' && s[j] != '\r') ++j;
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

// "2026/12/11 21:53", the first line of a station file.
std::optional<MetarIssueTime> issue_time(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
  if (line.size() != 16 || line[4] != '/' || line[7] != '/' || line[10] != ' ' || line[13] != ':') return std::nullopt;
  const auto field = [&](std::size_t at, std::size_t n) -> std::optional<int> {
    const std::string_view s = line.substr(at, n);
    if (!groups::all_digits(s)) return std::nullopt;
    int v = 0;
    for (const char c : s) v = v * 10 + (c - '0');
    return v;
  };
  const auto year = field(0, 4), month = field(5, 2), day = field(8, 2), hour = field(11, 2), minute = field(14, 2);
  if (!year || !month || !day || !hour || !minute) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59) return std::nullopt;
  return MetarIssueTime{*year, *month, *day, *hour, *minute};
}

bool is_station(std::string_view s) {
  if (s.size() != 4 || s[0] < 'A' || s[0] > 'Z') return false;
  for (const char c : s.substr(1))
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

bool is_correction(std::string_view s) {
  return s == "COR" || (s.size() == 3 && s.substr(0, 2) == "CC" && s[2] >= 'A' && s[2] <= 'Z');
}

// The military colour states (BLU, WHT ... BLACK, "BLACKBLU+"): read past.
bool is_colour_state(std::string_view s) {
  static constexpr std::array<std::string_view, 9> kColours{"BLACK", "BLU", "WHT", "GRN", "YLO1",
                                                            "YLO2",  "YLO", "AMB", "RED"};
  if (!s.empty() && s.back() == '+') s.remove_suffix(1);
  if (s.empty()) return false;
  while (!s.empty()) {
    bool found = false;
    for (const std::string_view c : kColours)
      if (s.substr(0, c.size()) == c) {
        s.remove_prefix(c.size());
        found = true;
        break;
      }
    if (!found) return false;
  }
  return true;
}

// Groups after the main body that carry nothing the documents show.
bool is_supplementary(std::string_view g) {
  if (g.size() > 2 && g.substr(0, 2) == "RE" && groups::weather(g.substr(2))) return true;  // recent weather
  if (g.size() >= 5 && g[0] == 'W' && g.find("/S") != std::string_view::npos) return true;  // sea state
  if (g.size() >= 5 && g[0] == 'W' && g.find("/H") != std::string_view::npos) return true;  // wave height
  return g == "SNOCLO" || g == "NSW" || is_colour_state(g);
}

class Decoder {
 public:
  explicit Decoder(std::vector<std::string_view> tokens) : t_(std::move(tokens)) {}

  MetarResult run(std::optional<MetarIssueTime> issued) {
    m_.issued = issued;
    if (t_.empty()) return fail("empty report");
    if (next_is("METAR") || next_is("SPECI")) {
      m_.speci = t_[i_] == "SPECI";
      ++i_;
    }
    if (i_ < t_.size() && is_correction(t_[i_])) {
      m_.corrected = true;
      ++i_;
    }
    if (i_ >= t_.size() || !is_station(t_[i_])) return fail("no station identifier");
    m_.station = std::string(t_[i_++]);
    const auto time = i_ < t_.size() ? groups::time(t_[i_]) : std::nullopt;
    if (!time) return fail("no observation time (ddhhmmZ)");
    m_.time = *time;
    ++i_;
    if (next_is("NIL")) return fail("NIL report: no observation");
    for (; i_ < t_.size(); ++i_) {
      if (t_[i_] == "AUTO")
        m_.automatic = true;
      else if (is_correction(t_[i_]))
        m_.corrected = true;
      else if (t_[i_] != "RTD")  // a late report: nothing to keep
        break;
    }
    body();
    if (recognised_ == 0) return fail(m_.unknown_groups.empty() ? "no weather groups" : "no recognisable groups");
    return MetarResult{std::move(m_), ""};
  }

 private:
  bool next_is(std::string_view s) const { return i_ < t_.size() && t_[i_] == s; }

  MetarResult fail(const char* why) { return MetarResult{std::nullopt, why}; }

  void body() {
    bool in_trend = false;
    for (; i_ < t_.size(); ++i_) {
      const std::string_view g = t_[i_];
      if (g == "RMK") return remarks();
      if (in_trend) continue;
      if (g == "BECMG" || g == "TEMPO") {
        in_trend = true;  // the forecast part: nothing in it is observed
        ++recognised_;
        continue;
      }
      if (g == "NOSIG") {
        m_.nosig = true;
        ++recognised_;
        continue;
      }
      if (group(g)) {
        ++recognised_;
      } else {
        m_.unknown_groups.emplace_back(g);
      }
    }
  }

  // One group of the body; false when it fits no form.
  bool group(std::string_view g) {
    // An element an automatic station could not observe: "//" weather,
    // "////" visibility, "//////" cloud, "/////" temperatures.
    if (groups::all_slashes(g)) return true;
    if (!seen_wind_ && groups::wind(g, m_.wind)) return seen_wind_ = true;
    if (m_.wind && groups::wind_sector(g, *m_.wind)) return true;
    if (!seen_visibility_) {
      const std::string_view next = i_ + 1 < t_.size() ? t_[i_ + 1] : std::string_view();
      if (groups::visibility_whole_part(g, next)) {
        const std::string joined = std::string(g) + " " + std::string(next);
        ++i_;
        return seen_visibility_ = groups::visibility(joined, m_.visibility);
      }
      if (groups::visibility(g, m_.visibility)) {
        m_.cavok = g == "CAVOK";
        return seen_visibility_ = true;
      }
    } else if (groups::directional_visibility(g)) {
      return true;
    }
    if (groups::runway_group(g)) return true;
    if (g == "WS") return wind_shear();
    if (auto w = groups::weather(g)) {
      m_.weather.push_back(std::move(*w));
      return true;
    }
    if (auto s = groups::sky(g)) {
      m_.sky.push_back(std::move(*s));
      return true;
    }
    if (!seen_temperatures_ && groups::temperatures(g, m_.temperature_c, m_.dewpoint_c))
      return seen_temperatures_ = true;
    if (!seen_pressure_ && groups::pressure(g, m_.pressure)) return seen_pressure_ = true;
    if (seen_pressure_ && groups::pressure(g, scratch_pressure_)) return true;  // "Q1013 A2991": the first counts
    return is_supplementary(g);
  }

  // "WS R24L", "WS RWY24", "WS ALL RWY": the runways that follow go with it.
  bool wind_shear() {
    while (i_ + 1 < t_.size()) {
      const std::string_view n = t_[i_ + 1];
      const bool runway = (n.size() >= 3 && n[0] == 'R') || n == "ALL";
      if (!runway || n == "RMK") break;
      ++i_;
    }
    return true;
  }

  void remarks() {
    std::optional<double> t;
    std::optional<double> d;
    for (++i_; i_ < t_.size(); ++i_)
      if (groups::tenths_temperatures(t_[i_], t, d)) {
        m_.temperature_c = t;
        if (d) m_.dewpoint_c = d;
        return;
      }
  }

  std::vector<std::string_view> t_;
  std::size_t i_ = 0;
  Metar m_;
  int recognised_ = 0;
  bool seen_wind_ = false;
  bool seen_visibility_ = false;
  bool seen_temperatures_ = false;
  bool seen_pressure_ = false;
  std::optional<MetarPressure> scratch_pressure_;
};

}  // namespace

double MetarPressure::hectopascals() const {
  return unit == PressureUnit::Hectopascals ? value : value * kHectopascalsPerInch;
}

double MetarPressure::inches_of_mercury() const {
  return unit == PressureUnit::InchesOfMercury ? value : value / kHectopascalsPerInch;
}

MetarResult decode_metar(std::string_view text) {
  if (text.size() > kMaxInput) return MetarResult{std::nullopt, "too long for a report"};
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 32 && c != '\n' && c != '\r' && c != '\t') || u > 126)
      return MetarResult{std::nullopt, "not a report: unexpected character"};
  }
  // A station file: the issue time on the first line, then the report (which
  // a few feeds wrap over further lines).
  std::optional<MetarIssueTime> issued;
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) start = text.size();
  const std::size_t eol = text.find('\n', start);
  const std::string_view first = text.substr(start, eol == std::string_view::npos ? text.size() : eol - start);
  if ((issued = issue_time(first))) {
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
      return MetarResult{std::nullopt, "no report after the issue time"};
  }
  std::vector<std::string_view> tokens = split_blanks(text);
  // Some feeds end a report with "=".
  if (!tokens.empty() && tokens.back().back() == '=') {
    tokens.back().remove_suffix(1);
    if (tokens.back().empty()) tokens.pop_back();
  }
  return Decoder(std::move(tokens)).run(issued);
}

}  // namespace cirrodex
