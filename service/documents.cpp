#include "service/documents.h"

#include <array>
#include <cstdio>

#include "platform/text.h"
#include "service/observation_texts.h"

namespace cirrodex {

namespace {

constexpr const char* kMissing = "N/A";

// Widths the page parser reads after each label (its value starts one blank
// after the label, but for the wind chill right after it).
constexpr std::size_t kHumidityWidth = 4;
constexpr std::size_t kDewpointWidth = 4;
constexpr std::size_t kWindChillWidth = 5;
constexpr std::size_t kVisibilityWidth = 8;

// Texts the program searches the page for, first occurrence first: the
// parser's labels and the forecast page's cut marks. A free text on the page
// (a station name, a forecast) must not contain one.
constexpr std::array<std::string_view, 21> kMarkers{
    "Updated",
    "Observed",
    "Temperature",
    "HeatIndex",
    "Humidity",
    "Dewpoint",
    "Windchill",
    "Wind",
    "Pressure",
    "Conditions",
    "Visibility",
    "Sunrise",
    "Sunset",
    "Moon Rise",
    "Moon Set",
    "Moon Phase",
    "Weather Forecast",
    "Weather Conditions",
    "End of Forecast",
    "Other Weather Links",
    "nbsp;",  // the parser's clean-up makes a blank of it
};

std::string with(std::optional<int> v, const char* unit) {
  return v ? std::to_string(*v) + unit : std::string(kMissing);
}

std::string or_missing(const std::string& s) { return s.empty() ? std::string(kMissing) : s; }

std::string padded(std::string s, std::size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

// Control characters and underscores read as blanks to the parser; make
// them blanks here so that no marker forms after the escaping.
std::string blanked(std::string_view s, bool keep_lines) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    if (c == '\r') continue;
    if (c == '\n' && keep_lines)
      out += c;
    else if (static_cast<unsigned char>(c) < 32 || c == '_' || c == 127)
      out += ' ';
    else
      out += c;
  }
  return out;
}

std::string escaped(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case text::kDegree:
        out += "&#176;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The first letter of every marker in a free text as a numeric reference of
// three digits: a browser shows the same letter, while the parser neither
// finds the marker nor loses more than that letter (its clean-up reads "#"
// and four characters as one degree sign).
std::string defused(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    bool marker = false;
    for (const std::string_view m : kMarkers)
      if (s.substr(i, m.size()) == m) marker = true;
    if (marker) {
      char ref[8];
      std::snprintf(ref, sizeof ref, "&#%03d;", static_cast<unsigned char>(s[i]));
      out += ref;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string free_text(std::string_view s, bool keep_lines = false) { return defused(escaped(blanked(s, keep_lines))); }

// The location name is read from the title before any clean-up, so it goes
// in as it is, less what would make markup of it.
std::string title_text(std::string_view s) {
  std::string out = text::trim(blanked(s, false));
  for (char& c : out)
    if (c == '<' || c == '>') c = ' ';
  return out;
}

// The observation time is read before the clean-up as well.
std::string time_text(std::string_view s) {
  std::string out;
  for (const char c : blanked(s, false))
    if (c != '<' && c != '>' && c != '&') out += c;
  return text::trim(out);
}

std::string row(const char* label, const std::string& value) {
  return std::string("<tr><td>") + label + "</td> <td>" + escaped(value) + "</td></tr>\n";
}

std::string free_row(const char* label, const std::string& value) {
  return std::string("<tr><td>") + label + "</td> <td>" + free_text(value) + "</td></tr>\n";
}

// A raw field: no "|" inside, no line breaks.
std::string field(std::string_view s) {
  std::string out = text::trim(blanked(s, false));
  for (char& c : out)
    if (c == '|') c = '/';
  return out.empty() ? std::string(kMissing) : out;
}

// The raw form's first field: the time up to its comma, then ", " and the
// four characters the parser skips (the year) before the "|".
std::string raw_time(const std::string& observed) {
  std::string head = observed;
  std::string tail;
  if (const std::size_t comma = observed.find(','); comma != std::string::npos) {
    head = observed.substr(0, comma);
    tail = text::trim(observed.substr(comma + 1));
  }
  head = field(text::replace_all(head, " on ", " "));
  tail = tail.empty() ? std::string() : field(tail);
  tail.resize(4, ' ');
  return head + ", " + tail + "|";
}

}  // namespace

std::string conditions_page(const ConditionsReport& r) {
  const ObservationTexts v = observation_texts(r.metar);
  const std::string deg(1, text::kDegree);
  std::string station = free_text(text::trim(r.station_name));
  const std::string icao = free_text(text::trim(r.station_icao));
  if (!icao.empty()) station += station.empty() ? icao : " (" + icao + ")";
  const std::string place = title_text(r.place_name);

  std::string page;
  page.reserve(4096 + r.forecast.size() * 2);
  // Nothing may precede the title's text: the parser counts the location
  // name from the twelfth character of the page's text.
  page += "<!DOCTYPE html><html><head><title>Conditions: " + place + " Weather Forecast</title>\n";
  page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n";
  page += "</head>\n<body>\n<table class=\"conditions\">\n";
  page += "<tr><td>Updated: " + or_missing(time_text(r.observed)) + "</td></tr>\n";
  page += "<tr><td>Observed at " + or_missing(station) + "</td></tr>\n";
  page += row("Temperature", v.temperature_f ? std::to_string(*v.temperature_f) + deg + "F" : kMissing + deg + "F");
  page += row("HeatIndex", with(v.heat_index_f,
                                "\xB0"
                                "F"));
  page += row("Humidity", padded(with(v.humidity, "%"), kHumidityWidth));
  page += row("Dewpoint", padded(with(v.dewpoint_f,
                                      "\xB0"
                                      "F"),
                                 kDewpointWidth));
  // The wind chill's five characters start right after its label.
  page += "<tr><td>Windchill</td><td>" +
          escaped(padded(with(v.wind_chill_f,
                              "\xB0"
                              "F"),
                         kWindChillWidth)) +
          "</td></tr>\n";
  page += row("Wind", or_missing(v.wind));
  page += row("Pressure", or_missing(v.pressure));
  page += row("Conditions", or_missing(v.conditions));
  page +=
      row("Visibility", padded(v.visibility.empty() ? kMissing : visibility_with_unit(v.visibility), kVisibilityWidth));
  page += free_row("Sunrise", or_missing(r.sunrise));
  page += free_row("Sunset", or_missing(r.sunset));
  page += free_row("Moon Rise", or_missing(r.moonrise));
  page += free_row("Moon Set", or_missing(r.moonset));
  page += free_row("Moon Phase", or_missing(r.moon_phase));
  page += "</table>\n";

  // The forecast comes after every label, so nothing in it is found first;
  // the forecast page keeps what stands before "End of Forecast" and what
  // follows "Other Weather Links".
  page += "<table class=\"forecast\">\n<tr><td><b>Forecast for " + free_text(place) + "</b></td></tr>\n";
  page += "<tr><td><pre>" + free_text(text::trim(r.forecast), true) + "</pre></td></tr>\n";
  page += "<tr><td>End of Forecast</td></tr>\n</table>\n";
  page +=
      "<hr><p><b>Other Weather Links</b>: <a href=\"https://www.weather.gov/\">National Weather Service</a>"
      " | <a href=\"https://aviationweather.gov/\">Aviation Weather Center</a></p>\n";
  // The parser drops the last hundred characters of the page's text.
  page +=
      "<p class=\"footer\">Current conditions decoded from the station's METAR report by cirrodex-service. "
      "Observations and forecasts: NOAA National Weather Service. Times are local to the place.</p>\n";
  page += "</body></html>\n";
  return page;
}

std::string conditions_raw(const ConditionsReport& r) {
  const ObservationTexts v = observation_texts(r.metar);
  const std::string deg_f = std::string(1, text::kDegree) + " F";
  char utc[16];
  std::snprintf(utc, sizeof utc, "%02d%02d%02dZ", r.metar.time.day, r.metar.time.hour, r.metar.time.minute);
  const std::array<std::string, 19> fields{
      with(v.temperature_f, ""),
      with(v.wind_chill_f, deg_f.c_str()),
      with(v.heat_index_f, deg_f.c_str()),
      with(v.humidity, "%"),
      with(v.dewpoint_f, ""),
      field(v.wind),
      field(v.pressure),
      field(v.conditions),
      field(v.visibility),
      field(r.sunrise),
      field(r.sunset),
      // Fields 12 to 17 are not read by the program.
      field(r.moonrise),
      field(r.moonset),
      field(r.moon_phase),
      field(r.station_icao),
      field(r.station_name),
      utc,
      field(r.city),
      field(r.state_or_country),
  };
  std::string doc = raw_time(r.observed);
  for (const std::string& f : fields) doc += f + "|";
  doc += "\n";
  return doc;
}

}  // namespace cirrodex
