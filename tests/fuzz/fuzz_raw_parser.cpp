// Arbitrary documents through the raw "|" form of the conditions parser.
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

  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host(log);
  fakes::FakeDisplay display(log);
  fakes::FakePresetMenu menu(log);
  Settings settings(store, host, KeyCheck::Strict);
  settings.set("Datasource", "2");
  if (data[0] & 1u) settings.set("Metric", "y");
  PresetList presets(settings, host, menu);
  Readings readings;
  LocationContext ctx;
  ConditionsParser parser(settings, host, display, presets, readings, ctx);
  parser.parse_stats(doc, (data[0] & 2u) != 0);

  if (display.caption().rfind("Cirrodex - ", 0) != 0) std::abort();
  // The last call is the location slot of the finishing step, after the final repaint.
  if (log.entries.empty() || log.entries.back().rfind("slot TEXT_LOCATION=", 0) != 0) std::abort();
  return 0;
}
