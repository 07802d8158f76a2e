// The built-in skin: building the window region from the 338 x 368 mask, and
// one full repaint of the face with every slot filled.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "skins/skin_files.h"
#include "skins/skin_painter.h"
#include "skins/skin_region.h"

namespace {

using namespace cirrodex;

const Skin& builtin() {
  static const Skin skin = [] {
    SkinResult r = load_builtin_skin([] {});
    if (!r.skin) std::abort();
    for (DisplaySlot& d : r.skin->displays)
      if (d.text.empty()) d.text = "SAMPLE 12.34";
    return std::move(*r.skin);
  }();
  return skin;
}

void BM_RegionRects(benchmark::State& state) {
  const Skin& skin = builtin();
  for (auto _ : state) benchmark::DoNotOptimize(mask_rects(skin.mask, kClFuchsia, kClBlack));
}
BENCHMARK(BM_RegionRects)->Unit(benchmark::kMicrosecond);

void BM_Region(benchmark::State& state) {
  const Skin& skin = builtin();
  for (auto _ : state) benchmark::DoNotOptimize(skin_region(skin.mask, kClFuchsia, kClBlack));
}
BENCHMARK(BM_Region)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
  const Skin& skin = builtin();
  const SkinImages images = SkinImages::of(skin);
  QImage target(skin.mask.width, skin.mask.height, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&target);
    paint_skin(painter, skin, images, {});
  }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
