#pragma once
// Readings derived from an observation: relative humidity from temperature
// and dew point, the heat index and the wind chill the US National Weather
// Service uses, and the unit conversions the documents need. A derived value
// that does not apply to the conditions is empty, and the documents then say
// "N/A".

#include <optional>

namespace cirrodex {

double fahrenheit_from_celsius(double celsius);
double mph_from_knots(double knots);

// Percent, from the Magnus form over water (Alduchov and Eskridge's
// constants); a dew point above the temperature counts as saturation (100).
double relative_humidity(double temperature_c, double dewpoint_c);

// Degrees Fahrenheit at 80 °F and above, where the NWS gives a heat index:
// Steadman's simple formula averaged with the temperature, and Rothfusz's
// regression with its two adjustments once that average reaches 80 °F.
std::optional<double> heat_index_f(double temperature_f, double humidity_percent);

// Degrees Fahrenheit by the NWS formula of 2001, defined at 50 °F and below
// with a wind above 3 mph.
std::optional<double> wind_chill_f(double temperature_f, double wind_mph);

}  // namespace cirrodex
