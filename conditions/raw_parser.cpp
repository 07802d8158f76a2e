// The raw form: the observation time, then fields each ending with "|".
#include <exception>

#include "conditions/convert_temp.h"
#include "conditions/parse_stats.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

// The fields after the observation time, in document order.
class FieldReader {
 public:
  explicit FieldReader(std::string rest) : rest_(std::move(rest)) {}

  // The next field, trimmed; false when no "|" is left.
  bool next(std::string& field) {
    const std::size_t bar = rest_.find('|');
    if (bar == std::string::npos) return false;
    field = text::trim(std::string_view(rest_).substr(0, bar));
    rest_.erase(0, bar + 1);
    return true;
  }

 private:
  std::string rest_;
};

// A Fahrenheit field shown with its unit, as it stands: "N/A" becomes
// "N/A° F" and an empty field "° F", the texts the display and the log show.
std::string with_fahrenheit_unit(const std::string& value) { return value + text::kDegree + " F"; }

}  // namespace

void ConditionsParser::parse_raw_stats(const std::string& document) {
  try {
    const bool metric = settings_.get("Metric") == "y";
    const std::int64_t b = text::find(document, "|");
    if (b <= 1) {
      fail("Error - (S2P2nc_ds2a) parsing data.", 2000);
      host_.repaint();
      return;
    }
    // The observation time ends at its first comma; when a "|" comes first
    // the field is taken whole, "|" included.
    const std::int64_t comma = text::find(document, ",");
    const std::int64_t e = b < comma ? b : comma - 1;
    if (e < 1) {
      fail("Error (#S2P2_ds2) parsing data...", 2500);
      host_.repaint();
      return;
    }
    r_.ConditionTime = text::trim(text::copy(document, 1, e));
    display_.set_slot_text("TEXT_CONDTIME", text::upper(text::copy(r_.ConditionTime, 1, 30)));

    // The comma (or "|") and the six characters after it are skipped.
    FieldReader fields(text::copy(document, e + 8, static_cast<std::int64_t>(document.size())));
    std::string v;
    std::string city;
    auto read = [&](bool checked) {
      if (fields.next(v)) return true;
      fail("Warning - (P2nc_ds2) occurred parsing field data.", 1500);
      return !checked;
    };
    auto done = [&] { host_.repaint(); };

    if (!read(true)) return done();
    if (metric) {
      publish(&Readings::Temperature, text::trim(convert_temp(v, ConvertMode::FC, r_.TemperatureF)));
    } else {
      convert_temp(v, ConvertMode::FX, r_.TemperatureF);  // only TemperatureF: the text stays the field
      publish(&Readings::Temperature, with_fahrenheit_unit(v));
    }
    if (!read(true)) return done();
    if (v.empty())
      publish(&Readings::WindChill, "n/a");
    else
      publish(&Readings::WindChill, metric ? text::trim(convert_temp(v, ConvertMode::None, r_.TemperatureF)) : v);
    r_.HeatIndex = "n/a";
    if (!read(true)) return done();
    publish(&Readings::HeatIndex, metric ? text::trim(convert_temp(v, ConvertMode::None, r_.TemperatureF)) : v);
    if (!read(true)) return done();
    publish(&Readings::Humidity, v);
    if (!read(true)) return done();
    publish(&Readings::Dewpoint,
            metric ? text::trim(convert_temp(v, ConvertMode::None, r_.TemperatureF)) : with_fahrenheit_unit(v));
    if (!read(true)) return done();
    publish(&Readings::Wind, v);
    if (!read(true)) return done();
    publish(&Readings::Pressure, v);
    host_.repaint();
    if (!read(true)) return done();
    publish_conditions(v);
    if (!read(true)) return done();
    publish(&Readings::Visibility, v + " miles");
    if (!read(true)) return done();
    if (v.size() < 16) publish(&Readings::Sunrise, v);
    v.clear();
    if (fields.next(v)) {
      if (v.size() < 16) publish(&Readings::Sunset, v);
    } else {
      fail("Warning - (P2nc_ds2) occurred parsing field data.", 1500);
    }
    for (int unused = 12; unused <= 17; ++unused) read(false);
    if (!read(true)) return done();
    city = v;
    if (!read(true)) return done();
    r_.LocationName = text::trim(city + ", " + v);
    r_.MoonRise = "N/A";
    r_.MoonSet = "N/A";
    done();
  } catch (const std::exception&) {
    host_.show_status("Error occurred parsing ds2 (#EX1).");
    host_.repaint();
  }
}

}  // namespace cirrodex
