#pragma once
// The parser on recording fakes, as the parse and after commands run it:
// settings held in memory (Metric and Datasource from the options), the
// location context of the requested location, the calls in one log.

#include <optional>
#include <string>

#include "conditions/parse_stats.h"
#include "locations/location_string.h"
#include "locations/presets.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex::inspect {

struct ParseRig {
  ParseRig(bool metric, bool raw, const std::optional<std::string>& location) {
    if (metric) settings.set("Metric", "y");
    if (raw) settings.set("Datasource", "2");
    if (location) {
      ctx.requested = *location;
      parse_location_string(*location, ctx);
    }
  }

  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakePresetMenu menu{log};
  Settings settings{store, host};
  PresetList presets{settings, host, menu};
  Readings readings;
  LocationContext ctx;
  ConditionsParser parser{settings, host, display, presets, readings, ctx};
};

}  // namespace cirrodex::inspect
