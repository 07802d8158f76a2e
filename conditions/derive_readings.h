#pragma once
// The heat index and wind chill the program works out itself when the
// service gives none usable, in the display's units. The retrieval cycle runs
// derive_readings right after the parser.

#include "conditions/readings.h"
#include "platform/display.h"
#include "platform/host.h"
#include "platform/settings.h"

namespace cirrodex {

// A HeatIndex of more than one character other than "N/A" is kept (so the
// "n/a" of a page without the label stays). Otherwise it is computed with
// the Rothfusz regression from TemperatureF and the humidity, and always
// published: "N/A" without a temperature or below 60 F, "n/a" above 140.
void derive_heat_index(Readings& r, bool metric, Display& display);

// A WindChill of more than one character other than "n/a"/"N/A" is kept.
// Without a temperature it takes the Temperature text; "n/a" and "N/A" stay.
// An empty or one-character field is computed with the pre-2001 formula from
// the digits of the wind text: below 5 mph it is the temperature, and a
// result longer than 5 characters shows as "n/a". Only a computed result is
// stored with a repaint (and published unless "n/a"); a wind number too big
// to read beeps and leaves the field alone.
void derive_wind_chill(Readings& r, bool metric, Display& display, Host& host);

// Both, heat index first; Metric "y" gives Celsius texts.
void derive_readings(Readings& r, Settings& settings, Display& display, Host& host);

}  // namespace cirrodex
