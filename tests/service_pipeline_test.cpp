// The handler with its real parts, the built-in places with the system's
// time zones and the document writer, over a fake upstream that answers
// with the recorded station files and zone forecasts of tests/data/service.
// Every document is read back by the program's own parser, in both forms.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "service/conditions_service.h"
#include "service/document_maker.h"
#include "service/local_time.h"
#include "service/place_directory.h"
#include "service/places.h"
#include "service/sky_times.h"
#include "service/time_zones.h"
#include "support/parser_rig.h"
#include "support/service_fakes.h"

namespace cirrodex::service {
namespace {

using namespace std::chrono;
using cirrodex::testing::FakeServiceClock;
using cirrodex::testing::FakeUpstream;
using cirrodex::testing::ParserRig;
using cirrodex::testing::read_fixture;

constexpr const char* kServices =
    "maker_web = http://maker\n"
    "observations = http://files\n"
    "observations_api = http://api\n"
    "zone_forecasts = http://files\n";

const std::string kDeg(1, '\xB0');

std::string file_url(const std::string& icao) {
  return "http://files/data/observations/metar/stations/" + icao + ".TXT";
}
std::string forecast_url(const std::string& zone) {
  return "http://files/data/forecasts/zone/" + zone.substr(0, 2) + "/" + zone + ".txt";
}

const TimeZones& zones() {
  static const TimeZones z;
  return z;
}

// The readings a recorded report means, worked out by hand (NWS wind chill,
// Magnus humidity), as the program shows them in Fahrenheit.
struct Meaning {
  std::string temperature;  // whole degrees
  std::string humidity, dewpoint, wind_chill;
  std::string wind_page, wind_raw;
  std::string pressure, conditions, visibility_page, visibility_raw;
};

struct Case {
  const char* name;
  std::string page_path, raw_path;
  std::vector<std::string> live;  // stations with a recorded file; the others answer 404
  std::string place;              // the heading
  std::string icao, station_name;
  std::string zone_name;  // IANA
  std::string condition_time;
  std::string forecast;  // a line the page carries
  Meaning m;
};

const Case kCases[] = {
    {"UsCity",
     "/auto/Cirrodex/AL/Muscle_Shoals.html",
     "/auto/raw/AL/Muscle_Shoals.html",
     {"KMSL", "K1M4"},
     "Muscle Shoals, Alabama",
     "KMSL",
     "North West Alabama Regional Airport",
     "America/Chicago",
     "8:53 AM CST January 15",
     ".TONIGHT...Clear. Lows around 20. Light and variable winds.",
     // 02/M07 with tenths 1.7/-6.7 C; 36008KT: 9 mph.
     {"35", "54%", "20", "28", "From the North @ 9mph", "From the North at 9 mph", "30.36 in", "Clear", "10 miles",
      "10"}},
    {"ZipCode",
     "/auto/Cirrodex/35661",
     "/auto/raw/35661",
     {"KMSL"},
     "Muscle Shoals, Alabama",
     "KMSL",
     "North West Alabama Regional Airport",
     "America/Chicago",
     "8:53 AM CST January 15",
     ".TODAY...Sunny. Highs in the upper 30s. North winds 5 to 10 mph.",
     {"35", "54%", "20", "28", "From the North @ 9mph", "From the North at 9 mph", "30.36 in", "Clear", "10 miles",
      "10"}},
    {"WmoStation",
     "/auto/Cirrodex/global/stations/07005.html",
     "/auto/raw/global/stations/07005.html",
     {"LFOI"},
     "Abbeville, France",
     "LFOI",
     "Abbeville",
     "Europe/Paris",
     "3:30 PM CET January 15",
     std::string(kNoForecastAbroad),
     // 02/M01, 05008KT, Q1024, 9999 FEW012 BKN028.
     {"36", "81%", "30", "29", "From the NE @ 9 mph", "From the NE at 9 mph", "30.24 in", "Mostly Cloudy", "6+ miles",
      "6+"}},
    {"DeadNearestStation",
     "/auto/Cirrodex/AL/Muscle_Shoals.html",
     "/auto/raw/AL/Muscle_Shoals.html",
     {"K1M4"},
     "Muscle Shoals, Alabama",
     "K1M4",
     "Posey Field Airport",
     "America/Chicago",
     "8:55 AM CST January 15",
     ".TODAY...Sunny.",
     // 01/M08, 01007KT: 8 mph.
     {"34", "51%", "18", "27", "From the North @ 8mph", "From the North at 8 mph", "30.37 in", "Clear", "10 miles",
      "10"}},
};

class ServicePipeline : public ::testing::TestWithParam<Case> {
 protected:
  ServicePipeline() : services(kServices), cache(clock), sources(services, upstream, cache, clock) {}

  void record(const std::string& icao) {
    upstream.answer(file_url(icao), read_fixture("service/stations/" + icao + ".TXT"));
  }
  void record_forecast(const std::string& zone) {
    upstream.answer(forecast_url(zone), read_fixture("service/forecasts/" + zone.substr(0, 2) + "/" + zone + ".txt"));
  }
  Response get(std::string_view path) { return service.handle(Method::Get, path); }

  // The sun and moon times the document should carry for this place today.
  SkyTimes sky(const std::string& path, const std::string& zone) {
    const Route r = route(path);
    const auto place = directory.resolve(std::get<ConditionsRoute>(r).place);
    EXPECT_TRUE(place.has_value());
    const auto rules = zones().rules(zone);
    EXPECT_NE(rules, nullptr) << zone;
    if (!place || !rules) return {};
    return sky_times({place->latitude, place->longitude}, *rules, floor<seconds>(clock.utc()));
  }

  Services services;
  FakeServiceClock clock;  // 2024-01-15 15:00 UTC
  FakeUpstream upstream;
  UpstreamCache cache;
  ObservationSource sources;
  PlaceDirectory directory{PlaceTables::builtin(), zones()};
  ConditionsDocumentMaker maker{PlaceTables::builtin(), zones()};
  ConditionsService service{directory, sources, maker, clock};
};

TEST_P(ServicePipeline, TheProgramReadsTheRecordedReport) {
  const Case& c = GetParam();
  for (const std::string& icao : c.live) record(icao);
  record_forecast("alz001");
  const SkyTimes sky_today = sky(c.page_path, c.zone_name);
  ASSERT_FALSE(sky_today.sunrise.empty());
  const Meaning& m = c.m;

  const Response page = get(c.page_path);
  ASSERT_EQ(page.status, 200) << page.body;
  EXPECT_EQ(page.content_type, "text/html; charset=iso-8859-1");
  EXPECT_NE(page.body.find("Observed at " + c.station_name + " (" + c.icao + ")"), std::string::npos) << page.body;
  EXPECT_NE(page.body.find(c.forecast), std::string::npos) << page.body;
  EXPECT_EQ(page.body.find("ZFPHUN"), std::string::npos) << "the product's header is left out";
  EXPECT_EQ(page.note.rfind(c.icao + " from observations", 0), 0u) << page.note;

  ParserRig p;
  p.parse(page.body);
  EXPECT_EQ(p.host_calls(),
            (std::vector<std::string>{"status: ...parsing data...", "status: Thank you for using Cirrodex..."}));
  Readings want;
  want.LocationName = c.place;
  want.ConditionTime = c.condition_time;
  want.Temperature = m.temperature + kDeg + "F";
  want.TemperatureF = std::stoi(m.temperature);
  want.HeatIndex = "N/A";
  want.Humidity = m.humidity;
  want.Dewpoint = m.dewpoint + kDeg + "F";
  want.WindChill = m.wind_chill + kDeg + "F";
  want.Wind = m.wind_page;
  want.Pressure = m.pressure;
  want.Conditions = m.conditions;
  want.Visibility = m.visibility_page;
  want.Sunrise = sky_today.sunrise;
  want.Sunset = sky_today.sunset;
  want.MoonRise = sky_today.moonrise.empty() ? "N/A" : sky_today.moonrise;
  want.MoonSet = sky_today.moonset.empty() ? "N/A" : sky_today.moonset;
  for (const ReadingsField& f : kReadingsFields) EXPECT_EQ(p.readings.*f.member, want.*f.member) << "page " << f.name;
  EXPECT_EQ(p.readings.TemperatureF, want.TemperatureF);

  const Response raw = get(c.raw_path);
  ASSERT_EQ(raw.status, 200) << raw.body;
  EXPECT_EQ(raw.content_type, "text/plain; charset=iso-8859-1");
  ParserRig r;
  r.settings.set("Datasource", "2");
  r.parse(raw.body);
  EXPECT_EQ(r.host_calls(), p.host_calls());
  want.Temperature = m.temperature + kDeg + " F";
  want.Dewpoint = m.dewpoint + kDeg + " F";
  want.WindChill = m.wind_chill + kDeg + " F";
  want.Wind = m.wind_raw;
  want.Visibility = m.visibility_raw + " miles";
  want.MoonRise = "N/A";  // the raw form has no moon times
  want.MoonSet = "N/A";
  for (const ReadingsField& f : kReadingsFields) EXPECT_EQ(r.readings.*f.member, want.*f.member) << "raw " << f.name;
  EXPECT_NE(raw.body.find("|" + c.icao + "|" + c.station_name + "|"), std::string::npos) << raw.body;
}

INSTANTIATE_TEST_SUITE_P(Places, ServicePipeline, ::testing::ValuesIn(kCases),
                         [](const auto& tc) { return std::string(tc.param.name); });

class ServicePipelineTest : public ServicePipeline {};

TEST_F(ServicePipelineTest, AZipPageMakesThePresetWithTheStateCode) {
  record("KMSL");
  const Response page = get("/auto/Cirrodex/35661");
  ASSERT_EQ(page.status, 200) << page.body;
  ParserRig p;
  p.request("35661");
  p.parse(page.body, false);
  const auto calls = p.host_calls();
  EXPECT_NE(
      std::find(calls.begin(), calls.end(), "message: Location added to Locations menu: 35661 - Muscle Shoals, AL"),
      calls.end())
      << ::testing::PrintToString(calls);
}

TEST_F(ServicePipelineTest, AUsPageWhoseForecastFailedSaysSo) {
  record("KMSL");
  upstream.fail(forecast_url("alz001"), 503, "503 Service Unavailable");
  const Response page = get("/auto/Cirrodex/AL/Muscle_Shoals.html");
  ASSERT_EQ(page.status, 200) << page.body;
  EXPECT_NE(page.body.find(std::string(kNoForecastNow)), std::string::npos);
  EXPECT_NE(page.note.find("no forecast"), std::string::npos) << page.note;
}

TEST_F(ServicePipelineTest, UnknownPlacesAndPlacesWithoutStationsAreNotFound) {
  for (const char* path : {"/auto/Cirrodex/AL/Nowhere_Special.html", "/auto/raw/00000",
                           "/auto/Cirrodex/global/stations/00001.html", "/auto/Cirrodex/ZZ/Chicago.html"}) {
    const Response r = get(path);
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_NE(r.body.find("unknown place"), std::string::npos) << r.body;
  }
  // Vostok, an Antarctic base: in the program's table, with no METAR station
  // within 500 km.
  const Response vostok = get("/auto/Cirrodex/global/stations/89606.html");
  EXPECT_EQ(vostok.status, 404);
  EXPECT_NE(vostok.body.find("no reporting station near WMO 89606"), std::string::npos) << vostok.body;
  EXPECT_EQ(upstream.fetches(), 0);
}

TEST_F(ServicePipelineTest, AReportThatCannotBeDecodedIsABadGateway) {
  upstream.answer(file_url("KMSL"), "2024/01/15 14:53\nKMSL 151453Z NIL\n");
  const Response r = get("/auto/Cirrodex/AL/Muscle_Shoals.html");
  EXPECT_EQ(r.status, 502);
  EXPECT_NE(r.body.find("the report of KMSL from observations cannot be read: NIL report"), std::string::npos)
      << r.body;
}

// The cache of made documents and of the sun and moon times.

TEST_F(ServicePipelineTest, ADocumentIsMadeOnceWhileItsInputsStayTheSame) {
  record("KMSL");
  record_forecast("alz001");
  const std::string first = get("/auto/Cirrodex/AL/Muscle_Shoals.html").body;
  EXPECT_EQ(get("/auto/Cirrodex/AL/Muscle_Shoals.html").body, first);
  get("/auto/raw/AL/Muscle_Shoals.html");
  DocumentMakerStats s = maker.stats();
  EXPECT_EQ(s.made, 2u);  // the page and the raw form
  EXPECT_EQ(s.served_again, 1u);
  EXPECT_EQ(s.sky_computed, 1u) << "both forms share the day's sun and moon times";

  // A new report makes a new document; the day's sky times stay.
  clock.advance(minutes(11));
  upstream.answer(file_url("KMSL"), "2024/01/15 15:53\nKMSL 151553Z AUTO 36008KT 10SM CLR 04/M07 A3036\n");
  const std::string second = get("/auto/Cirrodex/AL/Muscle_Shoals.html").body;
  EXPECT_NE(second, first);
  EXPECT_NE(second.find("9:53 AM CST"), std::string::npos);
  s = maker.stats();
  EXPECT_EQ(s.made, 3u);
  EXPECT_EQ(s.sky_computed, 1u);
}

TEST_F(ServicePipelineTest, TheSunAndMoonTimesFollowTheLocalDay) {
  const ResolvedPlace place{"Muscle Shoals, Alabama", "Muscle Shoals", "Alabama", {"KMSL"}, "al", "alz001", "US",
                            "America/Chicago",        34.743,          -87.634};
  const Place address = UsCity{"AL", "Muscle_Shoals"};
  const Observation o{"KMSL",
                      "KMSL 150553Z AUTO 36008KT 10SM CLR 02/M07 A3036",
                      sys_days(year(2024) / January / 15) + hours(5) + minutes(53),
                      "observations",
                      "u",
                      seconds(600)};
  // 11:50 PM CST on the 14th, then 12:10 AM on the 15th: the same report,
  // another local day.
  const UtcTime before = sys_days(year(2024) / January / 15) + hours(5) + minutes(50);
  const Document late = maker.make(DocumentInput{Form::Page, address, place, o, nullptr, before});
  const Document early = maker.make(DocumentInput{Form::Page, address, place, o, nullptr, before + minutes(20)});
  EXPECT_EQ(maker.stats().sky_computed, 2u);
  const auto rules = zones().rules("America/Chicago");
  ASSERT_NE(rules, nullptr);
  const SkyTimes on_14th = sky_times({place.latitude, place.longitude}, *rules, floor<seconds>(before));
  const SkyTimes on_15th = sky_times({place.latitude, place.longitude}, *rules, floor<seconds>(before + minutes(20)));
  ASSERT_NE(on_14th.moonrise, on_15th.moonrise);
  EXPECT_NE(late.text.find(on_14th.moonrise), std::string::npos);
  EXPECT_NE(early.text.find(on_15th.moonrise), std::string::npos);
  EXPECT_EQ(early.text.find(on_14th.moonrise), std::string::npos);
}

}  // namespace
}  // namespace cirrodex::service
