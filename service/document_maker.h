#pragma once
// The service's document writer: the observation's report decoded, the
// place's names, the station's name, the observation time in the place's
// local time, the sun and moon times and the Moon's phase of the place's
// local day, and the zone forecast (or a sentence saying there is none), in
// the page or the raw form. A report that cannot be decoded is an error the
// handler answers with 502.
//
// A made document is kept per place and form and served again while its
// inputs are the same (the report, the forecast, the local day), so a
// cached answer costs a lookup; the sun and moon times, about a millisecond
// of work, are kept per place for its local day and shared by both forms.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "service/conditions_service.h"
#include "service/local_time.h"
#include "service/lru_map.h"
#include "service/places.h"
#include "service/time_zones.h"

namespace cirrodex::service {

struct DocumentMakerLimits {
  std::size_t max_documents = 4096;  // each a few kilobytes
  std::size_t max_sky_days = 4096;
};

struct DocumentMakerStats {
  std::size_t made = 0;          // documents written
  std::size_t served_again = 0;  // documents served as made before
  std::size_t sky_computed = 0;  // sun and moon times worked out
};

class ConditionsDocumentMaker final : public DocumentMaker {
 public:
  // tables names the stations; zones gives each place's local time.
  ConditionsDocumentMaker(const PlaceTables& tables, const TimeZones& zones, DocumentMakerLimits limits = {});

  // Safe to call from several threads at once.
  Document make(const DocumentInput& input) override;

  DocumentMakerStats stats() const;

 private:
  struct Sky {
    LocalDay day;
    std::string sunrise, sunset, moonrise, moonset, moon_phase;
  };
  struct Made {
    std::string station, report, forecast;
    UtcTime issued;
    bool has_forecast = false;
    LocalDay day;
    std::shared_ptr<const std::string> text;
  };

  std::shared_ptr<const TimeZoneRules> rules(const ResolvedPlace& place) const;
  Sky sky(const std::string& key, const ResolvedPlace& place, const TimeZoneRules& zone, std::chrono::sys_seconds now);

  const PlaceTables& tables_;
  const TimeZones& zones_;
  mutable std::mutex mutex_;
  LruMap<Made> documents_;
  LruMap<Sky> skies_;
  DocumentMakerStats stats_;
};

// The periods of an NWS zone forecast product (".TODAY...Sunny. ..." up to
// the "$$" that ends the zone's segment), without the product's header;
// the whole text up to its "$$" when it has no period lines.
std::string forecast_periods(std::string_view product);

// What the page says where a forecast would be: abroad there are no zone
// forecasts; in the US the forecast could not be had just now.
inline constexpr std::string_view kNoForecastAbroad = "No zone forecast is published for this place.";
inline constexpr std::string_view kNoForecastNow = "The zone forecast is not available at the moment.";

}  // namespace cirrodex::service
