// The page form: labelled values picked out of the page's text by fixed
// markers and offsets (positions are 1-based, as in platform/text.h).
#include "conditions/convert_temp.h"
#include "conditions/html_text.h"
#include "conditions/parse_stats.h"
#include "platform/text.h"

namespace cirrodex {

using text::copy;
using text::find;
using text::replace_all;
using text::trim;

namespace {

std::int64_t len(const std::string& s) { return static_cast<std::int64_t>(s.size()); }

// The clean-up pass: what is left of tags goes, the entity names the markup
// pass kept become their characters, underscores and control codes become
// blanks.
std::string clean_up(const std::string& t) {
  std::string s;
  s.reserve(t.size());
  std::size_t i = 0;
  while (i < t.size()) {
    const char c = t[i];
    if (c == '<') {
      const std::size_t gt = t.find('>', i + 1);
      if (gt == std::string::npos) break;  // an unmatched "<" drops the rest
      i = gt + 1;
    } else if (t.compare(i, 5, "#176;") == 0) {
      s.push_back(text::kDegree);
      i += 5;
    } else if (t.compare(i, 5, "nbsp;") == 0) {
      s.push_back(' ');
      i += 5;
    } else if (c == '#') {  // any other numeric entity: taken for a degree sign
      s.push_back(text::kDegree);
      i += 5;
    } else if (c == '&') {
      ++i;
    } else if (c == '_' || c == 0 || (c >= 8 && c <= 13)) {
      s.push_back(' ');
      ++i;
    } else {
      s.push_back(c);
      ++i;
    }
  }
  return trim(s);
}

// The text from the label's end up to the character before the next label;
// "n/a" without the label, empty without the next one.
std::string between(const std::string& t, const char* label, std::int64_t label_len, const char* next) {
  const std::int64_t a = find(t, label);
  if (a == 0) return "n/a";
  const std::int64_t from = a + label_len;
  return copy(t, from, find(t, next) - from);
}

std::string sky_time(const std::string& t, const char* label, std::int64_t label_len, const char* next) {
  return trim(replace_all(between(t, label, label_len, next), "  ", " "));
}

}  // namespace

void ConditionsParser::parse_page(const std::string& document, bool metric) {
  HtmlText markup = html_character_data(document);
  if (markup.error) {
    host_.show_status(text::upper("Error occurred parsing conditions. (#ikpf1)"));
    host_.pause(2000);
  }
  std::string t = replace_all(markup.text, "Updated", " Updated");
  if (!page_heading_and_time(t)) return;
  t = clean_up(t);
  if (!page_temperature(t, metric)) return;
  page_heat_humidity_dewpoint(t, metric);
  page_wind(t, metric);
  page_pressure(t);
  page_conditions(t);
  page_visibility_and_sky(t);
}

bool ConditionsParser::page_heading_and_time(std::string& t) {
  // Location name: the page title runs from the 13th character to just before
  // "Weather Forecast" (or "Weather Conditions").
  std::int64_t f = find(t, "Weather Forecast");
  r_.LocationName = trim(copy(t, 13, f - 14));
  if (r_.LocationName.size() < 2) {
    f = find(t, "Weather Conditions");
    r_.LocationName = trim(copy(t, 13, f - 14));
  }
  t = copy(t, f - 1, len(t) - f + 1);

  // From "Updated:" on, without the page footer.
  std::int64_t u = find(t, "Updated:");
  t = copy(t, u, len(t) - 100 - u);

  u = find(t, "Updated");
  if (u == 0) {
    fail("Warning: (P2nc2) occurred parsing data.", 3000);
    return false;
  }
  const std::int64_t o = find(t, "Observed");
  if (o < 2) {
    fail("Error (P2) occurred parsing data.", 3500);
    return false;
  }
  std::string when = replace_all(trim(copy(t, u + 8, o - u - 9)), " on ", " ");
  if (const std::int64_t comma = find(when, ","); comma >= 2) when = copy(when, 1, comma - 1);
  if (when.size() > 40) when = copy(when, 1, 30);
  publish(&Readings::ConditionTime, when);
  return true;
}

bool ConditionsParser::page_temperature(const std::string& t, bool metric) {
  // The value starts one separator after the label and runs through its
  // unit letter plus one character.
  const std::int64_t c = find(t, "Temperature");
  if (c == 0) {
    fail("Error (#P3) occurred parsing data.", 2500);
    return false;
  }
  const std::int64_t p = c + 12;
  const std::string window = copy(t, p, 12);
  std::int64_t k = find(window, "F");
  if (k == 0) k = find(window, "C");
  if (k == 0) k = find(window, std::string(1, text::kDegree));
  std::string temp;
  if (k > 0) {
    temp = copy(t, p, k + 1);
  } else {
    fail("Error (#P3a) parsing data.", 2500);
    temp = t;
  }
  temp = trim(convert_temp(temp, metric ? ConvertMode::FC : ConvertMode::FX, r_.TemperatureF));
  if (temp.size() <= 20)
    publish(&Readings::Temperature, temp);
  else
    fail("Warning - (P2nc) occurred parsing data.", 3000);
  return true;
}

void ConditionsParser::page_heat_humidity_dewpoint(const std::string& t, bool metric) {
  publish(&Readings::HeatIndex, "n/a");
  if (const std::int64_t h = find(t, "HeatIndex"); h > 0) {
    std::string v = copy(t, h + 10, find(t, "Humidity") - h - 10);
    if (metric) v = convert_temp(v, ConvertMode::None, r_.TemperatureF);
    publish(&Readings::HeatIndex, trim(v));
  }
  const std::int64_t humidity = find(t, "Humidity");
  publish(&Readings::Humidity, trim(humidity > 0 ? copy(t, humidity + 9, 4) : "n/a"));
  const std::int64_t dewpoint = find(t, "Dewpoint");
  std::string v = dewpoint > 0 ? copy(t, dewpoint + 9, 4) : "n/a";
  if (v != "n/a" && metric) v = convert_temp(v, ConvertMode::None, r_.TemperatureF);
  publish(&Readings::Dewpoint, trim(v));
}

void ConditionsParser::page_wind(const std::string& t, bool metric) {
  display_.set_slot_text("TEXT_WINDCHILL", "");
  std::int64_t v = 0;
  if (const std::int64_t w = find(t, "Windchill"); w == 0) {
    v = find(t, "Wind");
  } else {
    std::string chill = trim(copy(t, w + 9, 5));
    if (chill != "n/a" && metric) chill = trim(convert_temp(chill, ConvertMode::None, r_.TemperatureF));
    publish(&Readings::WindChill, chill);
    // The wind label is the first "Wind" after the wind-chill value.
    const std::int64_t q = find(copy(t, w + 12, 70), "Wind");
    v = q > 0 ? w + 12 + q - 1 : w + 11;
  }
  std::string wind = v > 0 ? copy(t, v + 5, find(t, "Pressure") - v - 5) : "n/a";
  if (wind.size() > 22) wind = replace_all(wind, " mph", "mph");
  wind = replace_all(replace_all(replace_all(wind, "Wind", "~"), "Variable", "Var."), "at", "@");
  publish(&Readings::Wind, trim(wind));
}

void ConditionsParser::page_pressure(const std::string& t) {
  std::string pressure = "n/a";
  if (const std::int64_t pr = find(t, "Pressure"); pr > 0) {
    const std::string s50 = copy(t, pr, 50);
    const std::int64_t cc = find(s50, "Conditions");
    pressure = cc > 0 ? copy(s50, 10, cc - 11) : "";
  }
  publish(&Readings::Pressure, trim(pressure));
}

void ConditionsParser::page_conditions(std::string& t) {
  publish(&Readings::Conditions, "N/A");
  if (find(t, "Conditions") == 0) return;
  // A "... and Conditions" heading near the top is not the label.
  if (find(t, "Weather Conditions") < 150) t = replace_all(t, "and Conditions", "and Stats");
  const std::int64_t at = find(t, "Conditions");
  std::int64_t e = find(t, "Visibility");
  if (e == 0) {
    for (std::int64_t step = 11;; ++step) {
      e = at + step;
      const std::string three = copy(t, e, 3);
      if (three == " Up" || three == "Add" || copy(t, e, 8) == "</table>" || step >= 30) break;
    }
  }
  std::string cond = trim(copy(t, at + 11, e - at - 11));
  if (cond.size() > 50) cond = copy(cond, 1, 30);
  publish_conditions(cond);
}

void ConditionsParser::page_visibility_and_sky(const std::string& t) {
  const std::int64_t visibility = find(t, "Visibility");
  publish(&Readings::Visibility, trim(visibility > 0 ? copy(t, visibility + 11, 8) : "n/a"));
  publish(&Readings::Sunrise, sky_time(t, "Sunrise", 7, "Sunset"));
  publish(&Readings::Sunset, sky_time(t, "Sunset", 6, "Moon Rise"));
  publish(&Readings::MoonRise, sky_time(t, "Moon Rise", 9, "Moon Set"));
  publish(&Readings::MoonSet, sky_time(t, "Moon Set", 8, "Moon Phase"));
}

}  // namespace cirrodex
