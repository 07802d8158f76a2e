// Arbitrary documents through the page form of the conditions parser, in
// both unit modes, with and without a requested location.
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

using namespace cirrodex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string doc(reinterpret_cast<const char*>(data) + 1, size - 1);
  const unsigned mode = data[0];

  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host(log);
  fakes::FakeDisplay display(log);
  fakes::FakePresetMenu menu(log);
  Settings settings(store, host, KeyCheck::Strict);
  if (mode & 1u) settings.set("Metric", "y");
  PresetList presets(settings, host, menu);
  Readings readings;
  LocationContext ctx;
  if (mode & 2u) ctx.requested = "Tuscaloosa, AL";
  if (mode & 4u) ctx.zip = "35401";
  ConditionsParser parser(settings, host, display, presets, readings, ctx);
  parser.parse_stats(doc, (mode & 8u) != 0);

  // Whatever the page, the parse finishes and the caption carries the product name.
  if (display.caption().rfind("Cirrodex - ", 0) != 0) std::abort();
  if (readings.Temperature.size() > 20) std::abort();
  if (readings.ConditionTime.size() > 40 && readings.ConditionTime != "n/a") std::abort();
  if (readings.Conditions.size() > 50) std::abort();
  return 0;
}
