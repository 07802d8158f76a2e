// The service's place tables: parsing all four (what start-up costs), the
// three lookups a request makes, and the sun and moon times of a page. The
// parse reports the resident memory of the process with the tables loaded.

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

#include "resources/builtin.h"
#include "service/places.h"
#include "service/sky_times.h"
#include "service/time_zones.h"

namespace {

using cirrodex::service::PlaceTables;

std::string_view table(std::string_view name) { return *cirrodex::builtin_resource(name, "TXT"); }

double resident_mb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}

// First: the process's resident memory before and after the built-in
// tables are parsed (the tables' text is part of the program).
void BM_LoadBuiltIn(benchmark::State& state) {
  const double before = resident_mb();
  for (auto _ : state) benchmark::DoNotOptimize(&PlaceTables::builtin());
  state.counters["resident_MB"] = resident_mb();
  state.counters["added_MB"] = resident_mb() - before;
}
BENCHMARK(BM_LoadBuiltIn)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ParseTables(benchmark::State& state) {
  const PlaceTables::Texts texts{table("SVC_US_PLACES"), table("SVC_ZIP_CODES"), table("SVC_METAR_STATIONS"),
                                 table("SVC_WMO_STATIONS")};
  for (auto _ : state) benchmark::DoNotOptimize(PlaceTables::parse(texts));
}
BENCHMARK(BM_ParseTables)->Unit(benchmark::kMillisecond);

void BM_UsCity(benchmark::State& state) {
  const PlaceTables& t = PlaceTables::builtin();
  for (auto _ : state) benchmark::DoNotOptimize(t.us_city("AL", "Muscle_Shoals"));
}
BENCHMARK(BM_UsCity)->Unit(benchmark::kMicrosecond);

void BM_ZipCode(benchmark::State& state) {
  const PlaceTables& t = PlaceTables::builtin();
  for (auto _ : state) benchmark::DoNotOptimize(t.zip_code("35630"));
}
BENCHMARK(BM_ZipCode)->Unit(benchmark::kMicrosecond);

void BM_WmoStation(benchmark::State& state) {
  const PlaceTables& t = PlaceTables::builtin();
  for (auto _ : state) benchmark::DoNotOptimize(t.wmo_station("07005"));
}
BENCHMARK(BM_WmoStation)->Unit(benchmark::kMicrosecond);

void BM_SkyTimes(benchmark::State& state) {
  const cirrodex::service::TimeZones zones;
  const auto chicago = zones.rules("America/Chicago");
  if (!chicago) return state.SkipWithError("no America/Chicago in the system's tzdata");
  const std::chrono::sys_seconds now{std::chrono::seconds{1796075580}};  // 2026-12-01
  for (auto _ : state) benchmark::DoNotOptimize(cirrodex::service::sky_times({41.88, -87.63}, *chicago, now));
}
BENCHMARK(BM_SkyTimes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
