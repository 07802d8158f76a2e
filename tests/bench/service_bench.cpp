// cirrodex-service: a cached answer through the handler with its real parts
// (the place from the built-in tables, the cached observation and forecast,
// the document made before), the first answer of a place (the document and
// the day's sun and moon times made), the request head parse and route,
// and the answer's bytes.
#include <benchmark/benchmark.h>

#include "platform/services.h"
#include "service/conditions_service.h"
#include "service/document_maker.h"
#include "service/http_server.h"
#include "service/place_directory.h"
#include "service/places.h"
#include "service/request.h"
#include "service/time_zones.h"
#include "tests/support/service_fakes.h"

namespace {

using namespace cirrodex;
using namespace cirrodex::service;

constexpr const char* kServices =
    "maker_web = http://maker\nobservations = http://files\nobservations_api = http://api\nzone_forecasts = "
    "http://files\n";
const std::string kRequest =
    "GET /auto/Cirrodex/AL/Muscle_Shoals.html HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nReferer: "
    "Cirrodex_by_Velmoraworks\r\nUser-Agent: Cirrodex HTTP Control\r\nAccept: */*\r\n\r\n";

const std::string kPath = "/auto/Cirrodex/AL/Muscle_Shoals.html";

struct Cached {
  Services services{kServices};
  testing::FakeServiceClock clock;  // stands still: the entries never expire
  testing::FakeUpstream upstream;
  UpstreamCache cache{clock};
  ObservationSource sources{services, upstream, cache, clock};
  TimeZones zones;
  PlaceDirectory places{PlaceTables::builtin(), zones};
  ConditionsDocumentMaker maker{PlaceTables::builtin(), zones};
  ConditionsService service{places, sources, maker, clock};

  Cached() {
    upstream.answer("http://files/data/observations/metar/stations/KMSL.TXT",
                    "2024/01/15 14:53\nKMSL 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036 RMK AO2 SLP283 T00171067\n");
    // A zone forecast product of the usual size: header, seven days.
    std::string product = "FPUS54 KHUN 151012\nZFPHUN\n\nZone Forecast Product\n\nALZ001-152200-\nLauderdale-\n\n";
    for (int day = 0; day < 14; ++day)
      product += ".PERIOD...Mostly sunny. Highs in the upper 30s. North winds 5 to 10 mph.\nGusts up to 20 mph.\n";
    upstream.answer("http://files/data/forecasts/zone/al/alz001.txt", product + "\n$$\n");
    service.handle(Method::Get, kPath);  // fills the caches
  }
};

void BM_CachedAnswerThroughTheHandler(benchmark::State& state) {
  Cached c;
  for (auto _ : state) {
    Response r = c.service.handle(Method::Get, kPath);
    benchmark::DoNotOptimize(r);
  }
  if (c.upstream.fetches() != 2 || c.maker.stats().made != 1) state.SkipWithError("the answer was not cached");
}
BENCHMARK(BM_CachedAnswerThroughTheHandler)->Unit(benchmark::kMicrosecond);

// A place's first answer once its observation is cached: the report
// decoded, the sun and moon times of the day worked out, the page written.
void BM_FirstAnswerOfAPlace(benchmark::State& state) {
  Cached c;
  for (auto _ : state) {
    state.PauseTiming();
    ConditionsDocumentMaker fresh(PlaceTables::builtin(), c.zones);
    ConditionsService service(c.places, c.sources, fresh, c.clock);
    state.ResumeTiming();
    Response r = service.handle(Method::Get, kPath);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_FirstAnswerOfAPlace)->Unit(benchmark::kMicrosecond);

// What the server does for one request besides the handler.
void BM_HeadParseRouteAndAnswerBytes(benchmark::State& state) {
  Cached c;
  const Response r = c.service.handle(Method::Get, kPath);
  const UtcTime now = std::chrono::system_clock::now();
  for (auto _ : state) {
    HeadParse p = parse_request_head(kRequest);
    Route route_taken = route(p.head.path);
    std::string bytes = format_response(r, false, now);
    benchmark::DoNotOptimize(p);
    benchmark::DoNotOptimize(route_taken);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_HeadParseRouteAndAnswerBytes);

}  // namespace

BENCHMARK_MAIN();
