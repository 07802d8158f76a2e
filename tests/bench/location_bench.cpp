// The location chooser's first open: parsing the built-in tree and building
// the window with its 3356 tree items, shown; and one lookup and one search.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/location_window.h"
#include "locations/location_tree.h"
#include "locations/station_table.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"
#include "resources/builtin.h"

namespace {

using namespace cirrodex;

void BM_ChooserFirstOpen(benchmark::State& state) {
  const std::string_view text = *builtin_resource("LOCTREE", "TXT");
  fakes::CallLog log;
  fakes::FakeHost host(log);
  for (auto _ : state) {
    const LocationTree tree = LocationTree::parse(text);
    TfrmLocation window(tree, host, {});
    window.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.node_count());
  }
}
BENCHMARK(BM_ChooserFirstOpen)->Unit(benchmark::kMillisecond);

void BM_FindLastNode(benchmark::State& state) {
  const LocationTree& tree = LocationTree::builtin();
  const std::string last = tree.nodes().back().text;
  for (auto _ : state) benchmark::DoNotOptimize(tree.find_from(last, 1));
}
BENCHMARK(BM_FindLastNode)->Unit(benchmark::kMicrosecond);

void BM_LookupLastCanadianStation(benchmark::State& state) {
  const StationTable& table = StationTable::builtin();
  const std::string city = table.table("Canada")->entries.back().city;
  fakes::CallLog log;
  fakes::FakeHost host(log);
  for (auto _ : state) {
    LocationContext ctx{"", "Canada", "Yukon Territory (O)", city, ""};
    benchmark::DoNotOptimize(lookup_station(ctx, host, table));
  }
}
BENCHMARK(BM_LookupLastCanadianStation)->Unit(benchmark::kMicrosecond);

}  // namespace
