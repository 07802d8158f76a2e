#pragma once
// The conditions parser: turns the downloaded conditions document (the HTML
// page form, or the raw "|" form when Datasource is "2") into Readings,
// publishing every field to its display slot as soon as it is known, then
// remembers a location fetched by hand and sets the window title.
//
// The parser works by fixed markers and character offsets; they are the
// contract with the service's page layout and must not be "improved".

#include <functional>
#include <string>

#include "conditions/readings.h"
#include "locations/location_context.h"
#include "locations/presets.h"
#include "platform/display.h"
#include "platform/host.h"
#include "platform/settings.h"

namespace cirrodex {

class ConditionsParser {
 public:
  ConditionsParser(Settings& settings, Host& host, Display& display, PresetList& presets, Readings& readings,
                   LocationContext& location)
      : settings_(settings), host_(host), display_(display), presets_(presets), r_(readings), ctx_(location) {}

  // One whole parse of a document. automatic_fetch is true while the fetch
  // runs at start-up, on the refresh timer or in the warning cycle.
  void parse_stats(const std::string& document, bool automatic_fetch);

  // The raw form alone (parse_stats calls it when Datasource is "2").
  void parse_raw_stats(const std::string& document);

  // Called after Conditions is published (the tray tip and condition picture
  // hang on it).
  std::function<void(const Readings&)> on_conditions;

 private:
  void parse_page(const std::string& document, bool metric);
  // The page form's steps; false ends the parse (after the failure's text).
  bool page_heading_and_time(std::string& t);
  bool page_temperature(const std::string& t, bool metric);
  void page_heat_humidity_dewpoint(const std::string& t, bool metric);
  void page_wind(const std::string& t, bool metric);
  void page_pressure(const std::string& t);
  void page_conditions(std::string& t);
  void page_visibility_and_sky(const std::string& t);
  void finish(bool automatic_fetch);
  void publish(std::string Readings::*field, std::string text);
  void publish_conditions(std::string text);
  void fail(const char* status, int ms, bool beep = true);

  Settings& settings_;
  Host& host_;
  Display& display_;
  PresetList& presets_;
  Readings& r_;
  LocationContext& ctx_;
  std::string preset_title_;
};

}  // namespace cirrodex
