#include "service/metar_summary.h"

#include <cmath>
#include <cstdio>

#include "service/condition_words.h"
#include "service/weather_math.h"

namespace cirrodex {

namespace {

std::string one_decimal(std::optional<double> v) {
  if (!v) return "";
  // Rounding first keeps "-0.0" out.
  const double rounded = std::round(*v * 10.0) / 10.0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", rounded == 0.0 ? 0.0 : rounded);
  return buf;
}

std::string whole(std::optional<double> v) { return v ? std::to_string(std::lround(*v)) : ""; }

std::string joined_texts(const auto& groups) {
  std::string out;
  for (const auto& g : groups) {
    if (!out.empty()) out += ' ';
    out += g.text;
  }
  return out;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> metar_summary(const Metar& m) {
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02dZ", m.time.day, m.time.hour, m.time.minute);
  std::string direction;
  if (m.wind && !m.wind->calm()) {
    if (m.wind->variable)
      direction = "VRB";
    else if (m.wind->direction)
      direction = std::to_string(*m.wind->direction);
  }
  std::optional<double> humidity;
  if (m.temperature_c && m.dewpoint_c) humidity = relative_humidity(*m.temperature_c, *m.dewpoint_c);
  std::optional<double> pressure;
  if (m.pressure) pressure = m.pressure->hectopascals();
  return {
      {"station", m.station},
      {"time", time},
      {"wind_dir", direction},
      {"wind_kt", whole(m.wind ? m.wind->speed_kt : std::nullopt)},
      {"gust_kt", whole(m.wind ? m.wind->gust_kt : std::nullopt)},
      {"visibility_m", whole(m.visibility ? std::optional<double>(m.visibility->metres) : std::nullopt)},
      {"weather", joined_texts(m.weather)},
      {"sky", joined_texts(m.sky)},
      {"temp_c", one_decimal(m.temperature_c)},
      {"dewpoint_c", one_decimal(m.dewpoint_c)},
      {"pressure_hpa", one_decimal(pressure)},
      {"humidity", whole(humidity)},
      {"conditions", condition_words(m)},
  };
}

}  // namespace cirrodex
