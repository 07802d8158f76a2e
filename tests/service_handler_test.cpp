// The request handler with fake ports: documents, station fallback, the
// 404/502/504 answers, the counter and version file, and the answer bytes.
#include <gtest/gtest.h>

#include "platform/services.h"
#include "platform/version.h"
#include "service/conditions_service.h"
#include "service/http_server.h"
#include "support/service_fakes.h"

namespace cirrodex::service {
namespace {

using namespace std::chrono;
using testing::FakeDocumentMaker;
using testing::FakePlaceResolver;
using testing::FakeServiceClock;
using testing::FakeUpstream;

constexpr const char* kServices =
    "maker_web = http://maker\n"
    "observations = http://files\n"
    "observations_api = http://api\n"
    "zone_forecasts = http://files\n";

std::string file_url(const std::string& icao) {
  return "http://files/data/observations/metar/stations/" + icao + ".TXT";
}
std::string api_url(const std::string& icao) { return "http://api/api/data/metar?ids=" + icao + "&format=raw"; }
const std::string kZoneUrl = "http://files/data/forecasts/zone/al/alz002.txt";

class HandlerTest : public ::testing::Test {
 protected:
  HandlerTest() : services(kServices), cache(clock), sources(services, upstream, cache, clock) {
    places.add("AL/Muscle_Shoals", place("Muscle Shoals, Alabama", {"KMSL", "KHSV"}, "al", "alz002"));
    places.add("zip 35661", place("Muscle Shoals, Alabama", {"KMSL"}, "al", ""));
    places.add("WMO 68240", place("Francistown, Botswana", {"FBFT"}, "", ""));
    places.add("WMO 99999", place("Nowhere, Antarctica", {}, "", ""));
  }
  static ResolvedPlace place(std::string name, std::vector<std::string> stations, std::string state, std::string zone) {
    ResolvedPlace p;
    p.name = std::move(name);
    p.stations = std::move(stations);
    p.state = std::move(state);
    p.forecast_zone = std::move(zone);
    return p;
  }
  void fresh(const std::string& icao) {
    upstream.answer(file_url(icao), "2024/01/15 14:53\n" + icao + " 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036\n");
  }
  Response get(std::string_view path) { return service.handle(Method::Get, path); }

  Services services;
  FakeServiceClock clock;  // 2024-01-15 15:00 UTC
  FakeUpstream upstream;
  UpstreamCache cache;
  ObservationSource sources;
  FakePlaceResolver places;
  FakeDocumentMaker maker;
  ConditionsService service{places, sources, maker, clock};
};

TEST_F(HandlerTest, APageOfTheFirstStationWithTheZoneForecast) {
  fresh("KMSL");
  upstream.answer(kZoneUrl, ".TODAY...Sunny.\n");
  const Response r = get("/auto/Cirrodex/AL/Muscle_Shoals.html");
  EXPECT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.content_type, "text/html; charset=iso-8859-1");
  EXPECT_EQ(r.body, "KMSL|observations|KMSL 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036|.TODAY...Sunny.\n");
  EXPECT_EQ(r.max_age, kObservationLife);
}

TEST_F(HandlerTest, TheNextStationServesWhenTheFirstHasNoFreshReport) {
  upstream.answer(file_url("KMSL"), "2024/01/15 06:00\nKMSL 150600Z AUTO\n");  // stale; the API has nothing either
  fresh("KHSV");
  const Response r = get("/auto/raw/AL/Muscle_Shoals.html");
  EXPECT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.content_type, "text/plain; charset=iso-8859-1");
  EXPECT_EQ(r.body.substr(0, 17), "KHSV|observations");
  EXPECT_EQ(upstream.asked(),
            (std::vector<std::string>{file_url("KMSL"), api_url("KMSL"), file_url("KHSV"), kZoneUrl}));
}

TEST_F(HandlerTest, AMissingForecastLeavesTheDocumentWithoutIt) {
  fresh("KMSL");
  const Response r = get("/auto/Cirrodex/AL/Muscle_Shoals.html");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body.substr(r.body.size() - 2), "|-");
  EXPECT_NE(r.note.find("no forecast"), std::string::npos) << r.note;
}

TEST_F(HandlerTest, TheCacheLifeIsTheShorterOfObservationAndForecast) {
  upstream.answer(kZoneUrl, "forecast\n");
  fresh("KMSL");
  EXPECT_EQ(get("/auto/Cirrodex/AL/Muscle_Shoals.html").max_age, kObservationLife);
  clock.advance(minutes(25));  // the observation is fetched again, the forecast has 5 minutes left
  EXPECT_EQ(get("/auto/Cirrodex/AL/Muscle_Shoals.html").max_age, minutes(5));
}

struct FailureCase {
  const char* name;
  std::string path;
  int status;
  std::string text;  // in the body
};

class HandlerFailureTest : public HandlerTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HandlerFailureTest, AnswersWithAShortTextAndNoReading) {
  const FailureCase& c = GetParam();
  upstream.time_out(file_url("FBFT"));
  upstream.time_out(api_url("FBFT"));
  upstream.time_out(file_url("KMSL"));  // the API of KMSL answers 404
  upstream.fail(file_url("KHSV"), 503, "503 Service Unavailable");
  const Response r = get(c.path);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.content_type, "text/plain; charset=iso-8859-1");
  EXPECT_EQ(r.body.rfind(std::to_string(c.status) + " ", 0), 0u) << r.body;
  EXPECT_NE(r.body.find(c.text), std::string::npos) << r.body;
  EXPECT_TRUE(maker.made.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HandlerFailureTest,
    ::testing::Values(FailureCase{"UnknownPlace", "/auto/Cirrodex/AL/Nowhere.html", 404, "unknown place AL/Nowhere"},
                      FailureCase{"PlaceWithoutStations", "/auto/Cirrodex/global/stations/99999.html", 404,
                                  "no reporting station near WMO 99999"},
                      FailureCase{"EveryUpstreamTimedOut", "/auto/Cirrodex/global/stations/68240.html", 504,
                                  "Timeout was reached"},
                      FailureCase{"UpstreamsFailed", "/auto/Cirrodex/AL/Muscle_Shoals.html", 502,
                                  "KHSV: observations: http://files/data/observations/metar/stations/KHSV.TXT: 503"},
                      FailureCase{"SomeTimedOutSomeFailed", "/auto/Cirrodex/35661", 502, "404 Not Found"},
                      FailureCase{"DottedPath", "/auto/Cirrodex/../../etc/passwd", 400, "dotted path"},
                      FailureCase{"NoSuchDocument", "/index.html", 404, "no such document"}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(HandlerTest, AReportTheMakerCannotReadIsABadGateway) {
  fresh("KMSL");
  maker.error = "no wind group";
  const Response r = get("/auto/Cirrodex/35661");
  EXPECT_EQ(r.status, 502);
  EXPECT_NE(r.body.find("KMSL from observations cannot be read: no wind group"), std::string::npos) << r.body;
}

TEST_F(HandlerTest, OnlyGetAndHead) {
  fresh("KMSL");
  EXPECT_EQ(service.handle(Method::Head, "/auto/Cirrodex/35661").status, 200);
  const Response r = service.handle(Method::Other, "/auto/Cirrodex/35661");
  EXPECT_EQ(r.status, 405);
  EXPECT_EQ(r.allow, "GET, HEAD");
}

TEST_F(HandlerTest, CounterAndVersionFile) {
  const Response counter = get("/assets/CirrodexCount.txt");
  EXPECT_EQ(counter.status, 200);
  EXPECT_FALSE(counter.body.empty());
  get("/assets/CirrodexCount.txt");
  EXPECT_EQ(service.usage_count(), 2u);

  const Response version = get("/assets/cirrodexvs.txt");
  EXPECT_EQ(version.status, 200);
  EXPECT_EQ(version.content_type, "text/plain; charset=iso-8859-1");
  EXPECT_NE(version.body.find("Version#" + std::string(kProgramVersion)), std::string::npos);
  EXPECT_EQ(upstream.fetches(), 0);
}

// The answer's bytes.

TEST(ResponseBytes, HeadersForAnyHttpCache) {
  Response r;
  r.content_type = "text/html; charset=iso-8859-1";
  r.body = "caf\xE9";
  r.max_age = seconds(420);
  const UtcTime t = sys_days(year(2024) / January / 15) + hours(14) + minutes(5) + seconds(9);
  EXPECT_EQ(format_response(r, false, t),
            "HTTP/1.1 200 OK\r\nDate: Mon, 15 Jan 2024 14:05:09 GMT\r\nServer: cirrodex-service\r\n"
            "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 4\r\nCache-Control: max-age=420\r\n"
            "Connection: close\r\n\r\ncaf\xE9");
  const std::string head = format_response(r, true, t);
  EXPECT_NE(head.find("Content-Length: 4\r\n"), std::string::npos);
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

TEST(ResponseBytes, LogLinesShowNoRawControlOrHighBytes) {
  EXPECT_EQ(log_escaped("GET /a\x1b[2J\xFC\"\\"), "GET /a\\x1B[2J\\xFC\\x22\\x5C");
}

}  // namespace
}  // namespace cirrodex::service
