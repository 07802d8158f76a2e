// The temperature icons of one reading: the temperature, heat-index and
// wind-chill pictures planned, drawn with Qt's painter and handed to their
// notification-area icons (a tray in memory), as after every retrieval; and
// one picture drawn alone.
#include <benchmark/benchmark.h>

#include "app/core/temperature_icons.h"
#include "conditions/icon_painter.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_tray.h"
#include "platform/fakes/memory_settings_store.h"

namespace {

using namespace cirrodex;

const std::string kDeg(1, '\xB0');

void BM_ThreeIconsPerReading(benchmark::State& state) {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakeTray tray{log};
  Settings settings{store, host};
  settings.set("TempIcon", "b");
  settings.set("HindexIcon", "y");
  settings.set("WindcIcon", "y");
  display.set_caption("Cirrodex - Tuscaloosa, AL");
  Readings r;
  TemperatureIcons icons(tray, settings, host, display, r, draw_icon_picture, [] { return nullptr; }, {});
  int t = 0;
  for (auto _ : state) {
    // A new reading each time, so every picture really changes.
    t = (t + 1) % 120;
    r.Temperature = std::to_string(t) + kDeg + "F";
    r.HeatIndex = std::to_string(t + 5) + kDeg + "F";
    r.WindChill = std::to_string(t - 20) + kDeg + "F";
    icons.make_icons();
    log.clear();
  }
}
BENCHMARK(BM_ThreeIconsPerReading)->Unit(benchmark::kMicrosecond);

void BM_OnePicture(benchmark::State& state) {
  IconPicture p;
  p.text = {"72" + kDeg, IconTextLength::Normal};
  p.layout = icon_layout(p.text);
  p.colour = "clBlue";
  p.text_colour = kClYellow;
  for (auto _ : state) benchmark::DoNotOptimize(draw_icon_picture(p));
}
BENCHMARK(BM_OnePicture)->Unit(benchmark::kMicrosecond);

}  // namespace
