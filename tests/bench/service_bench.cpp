// cirrodex-service: a cached answer through the handler (place, cached
// observation and forecast, document), the request head parse and route,
// and the answer's bytes.
#include <benchmark/benchmark.h>

#include "platform/services.h"
#include "service/conditions_service.h"
#include "service/http_server.h"
#include "service/request.h"
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

struct Cached {
  Services services{kServices};
  testing::FakeServiceClock clock;  // stands still: the entries never expire
  testing::FakeUpstream upstream;
  UpstreamCache cache{clock};
  ObservationSource sources{services, upstream, cache, clock};
  testing::FakePlaceResolver places;
  PlainReportMaker maker;
  ConditionsService service{places, sources, maker, clock};

  Cached() {
    places.add("AL/Muscle_Shoals", ResolvedPlace{"Muscle Shoals, AL", {"KMSL"}, "al", "alz002", "US", "", 0, 0});
    upstream.answer("http://files/data/observations/metar/stations/KMSL.TXT",
                    "2024/01/15 14:53\nKMSL 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036 RMK AO2 SLP283 T00171067\n");
    upstream.answer("http://files/data/forecasts/zone/al/alz002.txt",
                    std::string(2000, 'f') + "\n.TODAY...Sunny. Highs in the upper 30s.\n");
    service.handle(Method::Get, "/auto/Cirrodex/AL/Muscle_Shoals.html");  // fills the cache
  }
};

void BM_CachedAnswerThroughTheHandler(benchmark::State& state) {
  Cached c;
  for (auto _ : state) {
    Response r = c.service.handle(Method::Get, "/auto/Cirrodex/AL/Muscle_Shoals.html");
    benchmark::DoNotOptimize(r);
  }
  if (c.upstream.fetches() != 2) state.SkipWithError("the answer was not cached");
}
BENCHMARK(BM_CachedAnswerThroughTheHandler);

// What the server does for one request besides the handler.
void BM_HeadParseRouteAndAnswerBytes(benchmark::State& state) {
  Cached c;
  const Response r = c.service.handle(Method::Get, "/auto/Cirrodex/AL/Muscle_Shoals.html");
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
