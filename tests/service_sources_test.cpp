// The METAR and zone forecast sources against a fake upstream: order, stale
// fallback, error texts, the report readers and the user's repointed hosts.
#include <gtest/gtest.h>

#include "platform/services.h"
#include "service/observation_source.h"
#include "support/service_fakes.h"

namespace cirrodex::service {
namespace {

using namespace std::chrono;
using testing::FakeServiceClock;
using testing::FakeUpstream;

constexpr const char* kServices =
    "maker_web = http://maker\n"
    "observations = https://files.example\n"
    "observations_api = https://api.example/\n"
    "zone_forecasts = https://files.example\n";
const std::string kFileUrl = "https://files.example/data/observations/metar/stations/KMSL.TXT";
const std::string kApiUrl = "https://api.example/api/data/metar?ids=KMSL&format=raw";
const std::string kReport = "KMSL 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036 RMK AO2";

UtcTime at(int day, int hour, int minute) {
  return sys_days(year(2024) / January / day) + hours(hour) + minutes(minute);
}

class SourcesTest : public ::testing::Test {
 protected:
  SourcesTest() : services(kServices), cache(clock), source(services, upstream, cache, clock) {}
  Services services;
  FakeServiceClock clock;  // 2024-01-15 15:00 UTC
  FakeUpstream upstream;
  UpstreamCache cache;
  ObservationSource source;
};

TEST_F(SourcesTest, TheStationFileComesFirstAndSaysSo) {
  upstream.answer(kFileUrl, "2024/01/15 14:53\n" + kReport + "\n");
  const ObservationResult r = source.observation("kmsl");
  ASSERT_TRUE(r.observation) << r.failure.joined();
  EXPECT_EQ(r.observation->station, "KMSL");
  EXPECT_EQ(r.observation->report, kReport);
  EXPECT_EQ(r.observation->source, "observations");
  EXPECT_EQ(r.observation->url, kFileUrl);
  EXPECT_EQ(r.observation->issued, at(15, 14, 53));
  EXPECT_EQ(r.observation->max_age, kObservationLife);
  EXPECT_EQ(upstream.asked(), std::vector<std::string>{kFileUrl});
}

struct FallbackCase {
  const char* name;
  std::string file_body;  // empty: the station file answers 404
  std::string why;        // in the first source's failure text
};

class FallbackTest : public SourcesTest, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(FallbackTest, TheApiAnswersWhenTheStationFileCannot) {
  const FallbackCase& c = GetParam();
  if (c.file_body.empty())
    upstream.fail(kFileUrl, 404, "404 Not Found");
  else
    upstream.answer(kFileUrl, c.file_body);
  upstream.answer(kApiUrl, kReport + "\n");
  const ObservationResult r = source.observation("KMSL");
  ASSERT_TRUE(r.observation) << r.failure.joined();
  EXPECT_EQ(r.observation->source, "observations_api");
  EXPECT_EQ(r.observation->url, kApiUrl);
  EXPECT_EQ(r.observation->issued, at(15, 14, 53));
  EXPECT_EQ(upstream.asked(), (std::vector<std::string>{kFileUrl, kApiUrl}));

  // With the API failing too, both reasons are told, each with its source.
  upstream.fail(kApiUrl, 500, "500 Internal Server Error");
  clock.advance(kObservationLife);
  const ObservationResult none = source.observation("KMSL");
  ASSERT_FALSE(none.observation);
  ASSERT_EQ(none.failure.texts.size(), 2u);
  EXPECT_EQ(none.failure.texts[0].rfind("observations: ", 0), 0u) << none.failure.texts[0];
  EXPECT_NE(none.failure.texts[0].find(c.why), std::string::npos) << none.failure.texts[0];
  EXPECT_EQ(none.failure.texts[1], "observations_api: " + kApiUrl + ": 500 Internal Server Error");
  EXPECT_FALSE(none.failure.timed_out);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, FallbackTest,
    ::testing::Values(FallbackCase{"NotFound", "", kFileUrl + ": 404 Not Found"},
                      FallbackCase{"StaleIssueLine",
                                   "2024/01/15 11:53\nKMSL 151153Z AUTO 36008KT 10SM CLR 02/M07 A3036\n",
                                   "is from 2024-01-15 11:53 UTC, older than 3 hours"},
                      FallbackCase{"StaleGroupWithoutIssueLine", "KMSL 141153Z AUTO 36008KT 10SM CLR 02/M07 A3036\n",
                                   "is from 2024-01-14 11:53 UTC"},
                      FallbackCase{"OtherStation", "2024/01/15 14:53\nKHSV 151453Z 00000KT 10SM CLR 01/M06 A3035\n",
                                   "no report of KMSL in the answer"},
                      FallbackCase{"NoTime", "KMSL AUTO 36008KT\n", "has no time"}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(SourcesTest, AReportOfThreeHoursIsStillFreshAMinuteMoreIsNot) {
  upstream.answer(kFileUrl, "2024/01/15 12:00\nKMSL 151200Z AUTO 36008KT\n");
  EXPECT_TRUE(source.observation("KMSL").observation);
  clock.advance(kObservationLife);  // now 15:10: the same report is stale
  upstream.answer(kFileUrl, "2024/01/15 12:00\nKMSL 151200Z AUTO 36008KT\n");
  EXPECT_FALSE(source.observation("KMSL").observation);
}

TEST_F(SourcesTest, TimedOutOnlyWhenEverySourceTimedOut) {
  upstream.time_out(kFileUrl);
  upstream.time_out(kApiUrl);
  EXPECT_TRUE(source.observation("KMSL").failure.timed_out);
  clock.advance(kFailureLife);
  upstream.fail(kApiUrl, 404, "404 Not Found");
  EXPECT_FALSE(source.observation("KMSL").failure.timed_out);
}

TEST_F(SourcesTest, AnswersComeFromTheCacheWithWhatIsLeftOfTheirLife) {
  upstream.answer(kFileUrl, "2024/01/15 14:53\n" + kReport + "\n");
  source.observation("KMSL");
  clock.advance(minutes(4));
  const ObservationResult r = source.observation("KMSL");
  ASSERT_TRUE(r.observation);
  EXPECT_EQ(r.observation->max_age, kObservationLife - minutes(4));
  EXPECT_EQ(upstream.fetches(), 1);
}

TEST_F(SourcesTest, AStationThatIsNoIcaoIdentifierReachesNoUpstream) {
  for (const char* bad : {"", "KMS", "KMSLX", "K/SL", "../x", "1MSL"}) {
    const ObservationResult r = source.observation(bad);
    EXPECT_FALSE(r.observation) << bad;
    EXPECT_NE(r.failure.joined().find("not an ICAO station"), std::string::npos) << bad;
  }
  EXPECT_EQ(upstream.fetches(), 0);
}

TEST_F(SourcesTest, ARepointedHostIsAskedAndATurnedOffSourceIsSkipped) {
  EXPECT_TRUE(
      services.override_with("observations = http://mirror.example:8080\nobservations_api =\n", "user").empty());
  const std::string mirror = "http://mirror.example:8080/data/observations/metar/stations/KMSL.TXT";
  upstream.answer(mirror, "2024/01/15 11:00\nKMSL 151100Z AUTO\n");  // stale, and no API to fall back on
  const ObservationResult r = source.observation("KMSL");
  EXPECT_FALSE(r.observation);
  EXPECT_EQ(upstream.asked(), std::vector<std::string>{mirror});
}

TEST_F(SourcesTest, ZoneForecast) {
  const std::string url = "https://files.example/data/forecasts/zone/al/alz002.txt";
  upstream.answer(url, "FPUS54 KHUN 151415\nZFPHUN\n.TODAY...Sunny.\n");
  const ForecastResult r = source.zone_forecast("AL", "ALZ002");
  ASSERT_TRUE(r.forecast) << r.failure.joined();
  EXPECT_EQ(r.forecast->zone, "alz002");
  EXPECT_EQ(r.forecast->source, "zone_forecasts");
  EXPECT_EQ(r.forecast->max_age, kForecastLife);
  EXPECT_NE(r.forecast->text.find(".TODAY...Sunny."), std::string::npos);

  upstream.fail("https://files.example/data/forecasts/zone/al/alz003.txt", 404, "404 Not Found");
  const ForecastResult missing = source.zone_forecast("al", "alz003");
  EXPECT_FALSE(missing.forecast);
  EXPECT_EQ(missing.failure.joined(),
            "zone_forecasts: https://files.example/data/forecasts/zone/al/alz003.txt: 404 Not Found");
  for (const auto& [st, zone] :
       {std::pair{"a", "alz002"}, std::pair{"al", "al/002"}, std::pair{"al", "alz02"}, std::pair{"..", "alz002"}})
    EXPECT_FALSE(source.zone_forecast(st, zone).forecast) << st << " " << zone;
  EXPECT_EQ(upstream.fetches(), 2);
}

// Report readers.

TEST(ReportReaders, StationFileTime) {
  EXPECT_EQ(station_file_time("2024/01/15 14:53"), at(15, 14, 53));
  EXPECT_EQ(station_file_time("2024/01/15 14:53\r"), at(15, 14, 53));
  for (const char* bad : {"", "2024/01/15", "2024-01-15 14:53", "2024/13/15 14:53", "2024/02/30 14:53",
                          "2024/01/15 24:00", "2024/01/15 14:60", "KMSL 151453Z AUTO"})
    EXPECT_FALSE(station_file_time(bad)) << bad;
}

TEST(ReportReaders, ReportGroupTimeTakesTheLatestDayNotAfterTomorrow) {
  struct Case {
    const char* report;
    UtcTime now;
    std::optional<UtcTime> expected;
  };
  const Case cases[] = {
      {"KMSL 151453Z AUTO", at(15, 15, 0), at(15, 14, 53)},
      {"KMSL 160005Z AUTO", at(15, 23, 59), at(16, 0, 5)},  // the clocks a little apart
      {"KMSL 312350Z AUTO", at(1, 0, 10), sys_days(year(2023) / December / 31) + hours(23) + minutes(50)},
      // February has no 31st: the report is from January.
      {"KMSL 311200Z", sys_days(year(2024) / March / 1) + hours(1), sys_days(year(2024) / January / 31) + hours(12)},
      {"METAR KMSL 151453Z", at(15, 15, 0), at(15, 14, 53)},
      {"KMSL 151453 AUTO", at(15, 15, 0), std::nullopt},
      {"KMSL 321453Z", at(15, 15, 0), std::nullopt},
      {"KMSL 152453Z", at(15, 15, 0), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(report_group_time(c.report, c.now), c.expected) << c.report;
}

TEST(ReportReaders, ReportLineFindsTheStationsLine) {
  EXPECT_EQ(report_line("2024/01/15 14:53\nKMSL 151453Z AUTO\n", "KMSL"), "KMSL 151453Z AUTO");
  EXPECT_EQ(report_line("METAR KMSL 151453Z AUTO\r\n", "KMSL"), "KMSL 151453Z AUTO");
  EXPECT_EQ(report_line("KHSV 151453Z\nSPECI KMSL 151500Z\n", "KMSL"), "KMSL 151500Z");
  EXPECT_FALSE(report_line("KMSLX 151453Z\n", "KMSL"));
  EXPECT_FALSE(report_line("", "KMSL"));
}

}  // namespace
}  // namespace cirrodex::service
