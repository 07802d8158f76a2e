// Arbitrary text through the METAR decoder; whatever decodes is written as
// both conditions documents and read back by the program's parser, which
// must take every value without a warning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "conditions/parse_stats.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/settings.h"
#include "service/condition_words.h"
#include "service/documents.h"
#include "service/metar_summary.h"
#include "service/observation_texts.h"

using namespace cirrodex;

namespace {

// The parser's status lines and nothing else: no beep, no warning.
bool parsed_quietly(const std::string& document, bool raw, Readings& readings) {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host(log);
  fakes::FakeDisplay display(log);
  fakes::FakePresetMenu menu(log);
  Settings settings(store, host, KeyCheck::Strict);
  if (raw) settings.set("Datasource", "2");
  PresetList presets(settings, host, menu);
  LocationContext ctx;
  ConditionsParser parser(settings, host, display, presets, readings, ctx);
  parser.parse_stats(document, true);
  int statuses = 0;
  for (const std::string& e : log.entries) {
    if (e == "beep" || e.rfind("pause: ", 0) == 0 || e.rfind("message: ", 0) == 0) return false;
    if (e.rfind("status: ", 0) == 0) ++statuses;
  }
  return statuses == 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const MetarResult result = decode_metar(text);
  if (!result.ok()) {
    if (result.error.empty()) std::abort();
    return 0;
  }
  const Metar& m = *result.metar;
  if (m.station.size() != 4 || metar_summary(m).size() != 13) std::abort();
  if (m.visibility && m.visibility->metres < 0) std::abort();

  ConditionsReport report;
  report.place_name = "Tuscaloosa, Alabama";
  report.city = "Tuscaloosa";
  report.state_or_country = "Alabama";
  report.station_icao = m.station;
  report.station_name = "Tuscaloosa Regional Airport";
  report.observed = "3:53 PM CDT on May 5, 1999";
  report.metar = m;
  report.forecast = text;  // whatever the report held, as forecast text
  const ObservationTexts v = observation_texts(m);
  const std::string conditions = v.conditions.empty() ? "N/A" : v.conditions;

  Readings page;
  if (!parsed_quietly(conditions_page(report), false, page)) std::abort();
  if (page.Conditions != conditions || page.LocationName != report.place_name) std::abort();
  if (page.TemperatureF != v.temperature_f.value_or(kNoTemperature)) std::abort();
  if (v.humidity && page.Humidity != std::to_string(*v.humidity) + "%") std::abort();

  Readings raw;
  if (!parsed_quietly(conditions_raw(report), true, raw)) std::abort();
  if (raw.Conditions != conditions || raw.LocationName != "Tuscaloosa, Alabama") std::abort();
  if (raw.TemperatureF != page.TemperatureF || raw.Pressure != page.Pressure) std::abort();
  return 0;
}
