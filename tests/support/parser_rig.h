#pragma once
// Everything a conditions parse needs, wired to the recording fakes.

#include <fstream>
#include <sstream>
#include <string>

#include "conditions/parse_stats.h"
#include "locations/location_string.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/settings.h"

namespace cirrodex::testing {

inline std::string read_fixture(const std::string& name) {
  std::ifstream in(std::string(CIRRODEX_TEST_DATA) + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct ParserRig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakePresetMenu menu{log};
  Settings settings{store, host, KeyCheck::Strict};
  PresetList presets{settings, host, menu};
  Readings readings;
  LocationContext ctx;
  ConditionsParser parser{settings, host, display, presets, readings, ctx};

  void request(const std::string& location) {
    ctx.requested = location;
    parse_location_string(location, ctx);
  }
  void parse(const std::string& doc, bool automatic = true) {
    log.clear();
    parser.parse_stats(doc, automatic);
  }
  // The host calls only: status texts, beeps, pauses and messages.
  std::vector<std::string> host_calls() const {
    std::vector<std::string> out;
    for (const auto& e : log.entries)
      if (e.rfind("status: ", 0) == 0 || e == "beep" || e.rfind("pause: ", 0) == 0 || e.rfind("message: ", 0) == 0)
        out.push_back(e);
    return out;
  }
};

}  // namespace cirrodex::testing
