#pragma once
// A decoded METAR or SPECI weather report (WMO FM 15, with the US and
// international variants NOAA passes on): the station, the observation time,
// wind, visibility, present weather, sky cover, temperature and dew point,
// and the pressure. An element the report lacks or marks missing ("M", "/")
// stays empty: nothing is ever filled in. Runway visual range, recent
// weather, wind shear, trends and the remarks are read past; of the remarks
// only the tenths-of-a-degree temperature group is used.
//
// decode_metar also takes NOAA's two-line station file (the issue time
// "YYYY/MM/DD HH:MM" in UTC, then the report) and keeps the issue time, by
// which a server judges how old the report is.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

struct MetarTime {
  int day = 0;  // of the month, UTC
  int hour = 0;
  int minute = 0;
};

struct MetarIssueTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

struct MetarWind {
  std::optional<int> direction;  // degrees true; empty when variable or not reported
  bool variable = false;         // VRB
  std::optional<double> speed_kt;
  std::optional<double> gust_kt;
  std::optional<int> varies_from;  // the sector dddVddd
  std::optional<int> varies_to;

  bool calm() const { return speed_kt && *speed_kt == 0.0; }
};

// Whether a visibility is the value itself or a bound of it.
enum class VisibilityBound { Exact, LessThan, AtLeast };

struct MetarVisibility {
  double metres = 0;  // statute miles converted; 9999 and CAVOK give 10000
  VisibilityBound bound = VisibilityBound::Exact;
  // The statute-mile figure as the report writes it, without "M", "P" and
  // "SM" ("10", "1 1/2", "1/4"); empty when the report gives metres.
  std::string statute_miles;
};

enum class WeatherIntensity { Light, Moderate, Heavy };

struct WeatherGroup {
  std::string text;  // as written: "-SHRA", "VCTS", "+FC"
  WeatherIntensity intensity = WeatherIntensity::Moderate;
  bool vicinity = false;               // VC
  std::string descriptor;              // MI PR BC DR BL SH TS FZ, or empty
  std::vector<std::string> phenomena;  // two-letter codes in order: "RA", "SN", "BR" ...
};

enum class SkyCover { Few, Scattered, Broken, Overcast, Obscured, Clear, Unknown };

struct SkyLayer {
  std::string text;  // as written: "BKN015", "OVC008CB", "VV002", "CLR", "///030"
  SkyCover cover = SkyCover::Unknown;
  std::optional<int> base_ft;  // above ground; vertical visibility for Obscured
  std::string cloud;           // "CB" or "TCU", else empty
};

enum class PressureUnit { InchesOfMercury, Hectopascals };

struct MetarPressure {
  double value = 0;  // in the unit the report used
  PressureUnit unit = PressureUnit::Hectopascals;

  double hectopascals() const;
  double inches_of_mercury() const;
};

struct Metar {
  std::optional<MetarIssueTime> issued;  // from a station file's first line
  bool speci = false;
  std::string station;  // ICAO
  MetarTime time;
  bool automatic = false;  // AUTO
  bool corrected = false;  // COR, CCA ...
  std::optional<MetarWind> wind;
  std::optional<MetarVisibility> visibility;
  bool cavok = false;
  std::vector<WeatherGroup> weather;
  std::vector<SkyLayer> sky;
  std::optional<double> temperature_c;  // tenths from the remarks when they give them
  std::optional<double> dewpoint_c;
  std::optional<MetarPressure> pressure;
  bool nosig = false;
  // Groups before the trend and the remarks that fit no known form; they are
  // read past so that one odd group does not lose the whole report.
  std::vector<std::string> unknown_groups;
};

struct MetarResult {
  std::optional<Metar> metar;  // empty when the text cannot be decoded
  std::string error;           // why not, in a few words

  bool ok() const { return metar.has_value(); }
};

MetarResult decode_metar(std::string_view text);

}  // namespace cirrodex
