#pragma once
// The request handler of cirrodex-service: a method and path in, a whole
// answer out. A conditions address goes place -> candidate stations (the
// PlaceResolver port) -> the first station with a fresh report, plus the
// zone forecast for US places -> the document (the DocumentMaker port).
// Unknown places and places without a station answer 404, upstream
// failures and reports that cannot be read 502, upstream time-outs 504,
// each with a short text; the service never makes up a reading.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/observation_source.h"
#include "service/request.h"
#include "service/service_clock.h"

namespace cirrodex::service {

// What the service knows of a place: the stations to ask, best first, the
// forecast zone, and what the document writer needs besides the report.
struct ResolvedPlace {
  // The document's heading, which the program shows and keeps: a US place
  // as "Muscle Shoals, Alabama" (the program turns the state's name after
  // the comma into its code), elsewhere "Abbeville, France".
  std::string name;
  std::string city;                   // the raw form's city field: "Muscle Shoals"
  std::string region;                 // the raw form's next field: "Alabama"; abroad "France"
  std::vector<std::string> stations;  // ICAO identifiers, best first
  std::string state;                  // US state code, lower case ("al"); empty elsewhere
  std::string forecast_zone;          // "alz001"; empty: no zone forecast
  std::string country;                // ISO 3166 code ("US", "FR")
  std::string time_zone;              // IANA name ("America/Chicago"); empty: not known
  double latitude = 0, longitude = 0;
};

class PlaceResolver {
 public:
  virtual ~PlaceResolver() = default;
  // Empty for a place the service does not know.
  virtual std::optional<ResolvedPlace> resolve(const Place& place) = 0;
};

struct DocumentInput {
  Form form = Form::Page;
  const Place& place;
  const ResolvedPlace& resolved;
  const Observation& observation;  // says which station and source
  const ZoneForecast* forecast;    // null when there is none
  UtcTime now;
};

struct Document {
  std::string text;   // Latin-1
  std::string error;  // not empty: the report could not be read
};

class DocumentMaker {
 public:
  virtual ~DocumentMaker() = default;
  virtual Document make(const DocumentInput& input) = 0;
};

struct Response {
  int status = 200;
  std::string content_type;
  std::string body;
  std::chrono::seconds max_age{0};
  std::string allow;  // for 405
  std::string note;   // for the log line: the station used, or why not
};

inline constexpr std::string_view kPageType = "text/html; charset=iso-8859-1";
inline constexpr std::string_view kTextType = "text/plain; charset=iso-8859-1";

// The reason phrase of a status the service answers with.
std::string_view reason_phrase(int status);
// A short plain-text error answer.
Response error_response(int status, std::string text, std::chrono::seconds max_age);

class ConditionsService {
 public:
  ConditionsService(PlaceResolver& places, ObservationSource& sources, DocumentMaker& maker, ServiceClock& clock)
      : places_(places), sources_(sources), maker_(maker), clock_(clock) {}

  // Safe to call from several threads at once (the ports must be too).
  Response handle(Method method, std::string_view path);

  // Usage counter requests answered since start: a number, nothing else.
  std::uint64_t usage_count() const { return usage_count_; }

 private:
  Response conditions(const ConditionsRoute& route);

  PlaceResolver& places_;
  ObservationSource& sources_;
  DocumentMaker& maker_;
  ServiceClock& clock_;
  std::atomic<std::uint64_t> usage_count_{0};
};

}  // namespace cirrodex::service
