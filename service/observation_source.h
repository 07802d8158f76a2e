#pragma once
// Where the weather comes from: the latest METAR report of an ICAO station,
// from two independent public sources tried in order (the NWS station files,
// then the aviation weather API when the first fails or has nothing newer
// than three hours), and the NWS zone forecast text. Hosts come from the
// services list ("observations", "observations_api", "zone_forecasts"), so
// a user repoints any of them without a rebuild. Every answer goes through
// the cache and says which source gave it.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "service/cache.h"
#include "service/service_clock.h"
#include "service/upstream.h"

namespace cirrodex::service {

// A report older than this is no current condition.
inline constexpr std::chrono::hours kMaxReportAge{3};

struct Observation {
  std::string station;  // ICAO, upper case
  std::string report;   // the METAR, one line ("KJFK 151451Z 31012KT ...")
  UtcTime issued;       // when the report was made
  std::string source;   // the services name that gave it ("observations")
  std::string url;
  std::chrono::seconds max_age{0};  // what is left of its cache life
};

struct ZoneForecast {
  std::string zone;  // "nyz072"
  std::string text;  // the forecast as published
  std::string source;
  std::string url;
  std::chrono::seconds max_age{0};
};

// Why nothing usable came: one text per source asked, and whether every
// one of them ran out of time.
struct SourceFailure {
  std::vector<std::string> texts;
  bool timed_out = false;

  std::string joined() const;  // the texts, "; " between them
};

struct ObservationResult {
  std::optional<Observation> observation;
  SourceFailure failure;  // when no observation
};

struct ForecastResult {
  std::optional<ZoneForecast> forecast;
  SourceFailure failure;
};

class ObservationSource {
 public:
  ObservationSource(const Services& services, Upstream& upstream, UpstreamCache& cache, ServiceClock& clock)
      : services_(services), upstream_(upstream), cache_(cache), clock_(clock) {}

  // The newest report of the station not older than kMaxReportAge.
  ObservationResult observation(std::string_view icao);
  // The zone forecast: state "ny", zone "nyz072" (either case).
  ForecastResult zone_forecast(std::string_view state, std::string_view zone);

 private:
  std::shared_ptr<const CachedAnswer> fetch(const std::string& url, std::chrono::seconds life_when_ok);
  std::chrono::seconds left(const CachedAnswer& cached);

  const Services& services_;
  Upstream& upstream_;
  UpstreamCache& cache_;
  ServiceClock& clock_;
};

// Report readers, public for the tests.

// The issue time of a station file's first line "YYYY/MM/DD HH:MM" (UTC).
std::optional<UtcTime> station_file_time(std::string_view line);
// The time of a report's "ddhhmmZ" group: the latest such time not after
// now plus a day of leeway (a report is never from next month).
std::optional<UtcTime> report_group_time(std::string_view report, UtcTime now);
// The report line for the station in a body: the first line that starts
// with it (after an optional "METAR " or "SPECI "), trimmed.
std::optional<std::string> report_line(std::string_view body, std::string_view icao);

}  // namespace cirrodex::service
