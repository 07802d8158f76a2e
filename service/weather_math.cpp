#include "service/weather_math.h"

#include <algorithm>
#include <cmath>

namespace cirrodex {

namespace {

constexpr double kMagnusA = 17.625;
constexpr double kMagnusB = 243.04;  // °C
constexpr double kMphPerKnot = 1852.0 / 1609.344;

}  // namespace

double fahrenheit_from_celsius(double celsius) { return celsius * 9.0 / 5.0 + 32.0; }

double mph_from_knots(double knots) { return knots * kMphPerKnot; }

double relative_humidity(double temperature_c, double dewpoint_c) {
  const double ratio =
      std::exp(kMagnusA * dewpoint_c / (kMagnusB + dewpoint_c) - kMagnusA * temperature_c / (kMagnusB + temperature_c));
  return std::clamp(100.0 * ratio, 0.0, 100.0);
}

std::optional<double> heat_index_f(double t, double rh) {
  if (t < 80.0) return std::nullopt;
  const double simple = 0.5 * (t + 61.0 + (t - 68.0) * 1.2 + rh * 0.094);
  if (simple < 80.0) return simple;
  double hi = -42.379 + 2.04901523 * t + 10.14333127 * rh - 0.22475541 * t * rh - 0.00683783 * t * t -
              0.05481717 * rh * rh + 0.00122874 * t * t * rh + 0.00085282 * t * rh * rh - 0.00000199 * t * t * rh * rh;
  if (rh < 13.0 && t <= 112.0) {
    hi -= (13.0 - rh) / 4.0 * std::sqrt((17.0 - std::fabs(t - 95.0)) / 17.0);
  } else if (rh > 85.0 && t <= 87.0) {
    hi += (rh - 85.0) / 10.0 * ((87.0 - t) / 5.0);
  }
  return hi;
}

std::optional<double> wind_chill_f(double t, double v) {
  if (t > 50.0 || v <= 3.0) return std::nullopt;
  const double p = std::pow(v, 0.16);
  return 35.74 + 0.6215 * t - 35.75 * p + 0.4275 * t * p;
}

}  // namespace cirrodex
