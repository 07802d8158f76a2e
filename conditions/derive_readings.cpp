#include "conditions/derive_readings.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>
#include <stdexcept>

#include "conditions/convert_temp.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

constexpr int kHeatIndexMax = 140;
constexpr std::size_t kWindChillMaxLength = 5;

// The whole number the leading digits form (no sign); 0 when it starts with
// none.
int leading_digits(std::string_view s) {
  int n = 0;
  for (const char c : s) {
    if (!text::is_digit(c)) break;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Whether the whole number at the start of a degree text ("-18" of
// "-18° C") is above the (positive) limit; a minus sign never is.
bool starts_above(std::string_view s, long limit) {
  long n = 0;
  for (const char c : s) {
    if (!text::is_digit(c)) break;
    n = n * 10 + (c - '0');
    if (n > limit) return true;
  }
  return false;
}

// The integer, the degree sign and " F", or its Celsius form.
std::string degrees_text(long value, bool metric) {
  std::string s = std::to_string(value) + text::kDegree + " F";
  if (metric) {
    int unused = 0;  // mode None leaves TemperatureF alone
    s = convert_temp(s, ConvertMode::None, unused);
  }
  return s;
}

std::string computed_heat_index(const Readings& r, bool metric) {
  if (r.TemperatureF == kNoTemperature) return "N/A";
  const double t = r.TemperatureF;
  if (t < 60) return "N/A";
  const double h = std::clamp(leading_digits(text::copy(text::trim(r.Humidity), 1, 3)), 0, 100);
  double hi = -42.379 + 2.04901523 * t + 10.14333127 * h - 0.22475541 * t * h - 0.00683783 * t * t -
              0.05481717 * h * h + 0.00122874 * t * t * h + 0.00085282 * t * h * h - 0.00000199 * t * t * h * h;
  if (hi < 0) hi = 0;
  // The limit applies to the number as shown, after any conversion.
  std::string s = degrees_text(std::lround(hi), metric);
  return starts_above(s, kHeatIndexMax) ? "n/a" : s;
}

// All digits of the text run together ("10 gusting 20" gives 1020); empty
// without a digit. A number past the int range throws.
std::optional<int> digits_run_together(std::string_view s) {
  std::optional<int> n;
  for (const char c : s) {
    if (!text::is_digit(c)) continue;
    const int d = c - '0';
    const int so_far = n.value_or(0);
    if (so_far > (std::numeric_limits<int>::max() - d) / 10) throw std::range_error("wind number out of range");
    n = so_far * 10 + d;
  }
  return n;
}

}  // namespace

void derive_heat_index(Readings& r, bool metric, Display& display) {
  if (r.HeatIndex.size() > 1 && r.HeatIndex != "N/A") return;
  r.HeatIndex = "?";
  std::string result;
  try {
    result = computed_heat_index(r, metric);
  } catch (const std::exception&) {
    result = "n/a";
  }
  r.HeatIndex = text::trim(result);
  display.set_slot_text(std::string(slot_of(&Readings::HeatIndex)), text::upper(r.HeatIndex));
}

void derive_wind_chill(Readings& r, bool metric, Display& display, Host& host) {
  std::string& wc = r.WindChill;
  const bool not_available = wc == "n/a" || wc == "N/A";
  if (wc.size() > 1 && !not_available) return;
  if (r.TemperatureF == kNoTemperature) {
    wc = r.Temperature;
    return;
  }
  if (not_available) return;
  try {
    std::string_view wind = r.Wind;
    // Past 20 characters the text carries gusts and the like; only its start
    // counts.
    if (wind.size() > 20) wind = wind.substr(0, 16);
    const std::optional<int> w = digits_run_together(wind);
    if (!w) {
      wc = "n/a";
      return;
    }
    if (*w < 5) {  // near-calm air: the wind chill is the temperature
      wc = r.Temperature;
      return;
    }
    // The formula takes the root rounded to a whole number.
    const double x = std::round(std::sqrt(static_cast<double>(*w)));
    const double t = r.TemperatureF;
    const double chill = (3.71 * x + 5.81 - 0.25 * *w) * 0.0817 * (t - 91.4) + 91.4;
    std::string s = text::trim(degrees_text(std::lround(chill), metric));
    if (s.size() > kWindChillMaxLength) s = "n/a";
    wc = s;
    host.repaint();
    if (!s.empty() && s != "n/a") display.set_slot_text(std::string(slot_of(&Readings::WindChill)), text::upper(s));
  } catch (const std::exception&) {
    host.beep();
  }
}

void derive_readings(Readings& r, Settings& settings, Display& display, Host& host) {
  const bool metric = settings.get("Metric") == "y";
  derive_heat_index(r, metric, display);
  derive_wind_chill(r, metric, display, host);
}

}  // namespace cirrodex
