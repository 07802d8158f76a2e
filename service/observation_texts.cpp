#include "service/observation_texts.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "service/condition_words.h"
#include "service/weather_math.h"

namespace cirrodex {

namespace {

constexpr double kMetresPerStatuteMile = 1609.344;
constexpr std::size_t kVisibilityWidth = 8;

int whole(double v) { return static_cast<int>(std::lround(v)); }

// Sixteen points; the four cardinal ones spelled out.
std::string compass_name(int degrees) {
  static constexpr std::array<const char*, 16> kNames{"North", "NNE", "NE", "ENE", "East", "ESE", "SE", "SSE",
                                                      "South", "SSW", "SW", "WSW", "West", "WNW", "NW", "NNW"};
  return kNames[static_cast<std::size_t>(std::lround(degrees / 22.5)) % kNames.size()];
}

std::string wind_text(const std::optional<MetarWind>& w) {
  if (!w || !w->speed_kt) return "";
  if (w->calm()) return "Calm";
  const std::string speed = std::to_string(whole(mph_from_knots(*w->speed_kt))) + " mph";
  std::string text;
  if (w->variable)
    text = "Variable at " + speed;
  else if (w->direction)
    text = "From the " + compass_name(*w->direction) + " at " + speed;
  else
    text = "At " + speed;
  if (w->gust_kt) text += " gusts " + std::to_string(whole(mph_from_knots(*w->gust_kt)));
  return text;
}

// Up to two decimals below a mile, one below ten, whole above; no trailing zeros.
std::string miles_figure(double miles) {
  char buf[32];
  if (miles < 1.0)
    std::snprintf(buf, sizeof buf, "%.2f", miles);
  else if (miles < 10.0)
    std::snprintf(buf, sizeof buf, "%.1f", miles);
  else
    std::snprintf(buf, sizeof buf, "%.0f", miles);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

std::string visibility_figure(const std::optional<MetarVisibility>& v) {
  if (!v) return "";
  const double miles = v->metres / kMetresPerStatuteMile;
  switch (v->bound) {
    case VisibilityBound::AtLeast:
      return (v->statute_miles.empty() ? std::to_string(static_cast<int>(std::floor(miles))) : v->statute_miles) + "+";
    case VisibilityBound::LessThan:
      return "<" + (v->statute_miles.empty() ? miles_figure(miles) : v->statute_miles);
    case VisibilityBound::Exact:
      break;
  }
  return v->statute_miles.empty() ? miles_figure(miles) : v->statute_miles;
}

}  // namespace

ObservationTexts observation_texts(const Metar& m) {
  ObservationTexts out;
  std::optional<double> t;
  if (m.temperature_c) {
    t = fahrenheit_from_celsius(*m.temperature_c);
    out.temperature_f = whole(*t);
  }
  if (m.dewpoint_c) out.dewpoint_f = whole(fahrenheit_from_celsius(*m.dewpoint_c));
  if (m.temperature_c && m.dewpoint_c) {
    const double rh = relative_humidity(*m.temperature_c, *m.dewpoint_c);
    out.humidity = whole(rh);
    if (const auto hi = heat_index_f(*t, rh)) out.heat_index_f = whole(*hi);
  }
  if (t && m.wind && m.wind->speed_kt)
    if (const auto wc = wind_chill_f(*t, mph_from_knots(*m.wind->speed_kt))) out.wind_chill_f = whole(*wc);
  out.wind = wind_text(m.wind);
  if (m.pressure) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f in", m.pressure->inches_of_mercury());
    out.pressure = buf;
  }
  out.conditions = condition_words(m);
  out.visibility = visibility_figure(m.visibility);
  return out;
}

std::string visibility_with_unit(const std::string& figure) {
  if (figure == "1") return "1 mile";
  if (figure.size() + 6 <= kVisibilityWidth) return figure + " miles";
  if (figure.size() + 3 <= kVisibilityWidth) return figure + " mi";
  return figure.substr(0, kVisibilityWidth);
}

}  // namespace cirrodex
