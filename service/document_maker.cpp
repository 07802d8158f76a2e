#include "service/document_maker.h"

#include <chrono>
#include <vector>

#include "platform/text.h"
#include "service/documents.h"
#include "service/metar.h"
#include "service/sky_times.h"

namespace cirrodex::service {

namespace {

using std::chrono::sys_seconds;

// The zone of places the zone table has none for, such as a country it
// does not list.
constexpr std::string_view kFallbackZone = "Etc/UTC";

}  // namespace

std::string forecast_periods(std::string_view product) {
  const std::vector<std::string_view> lines = text::lines(product);
  // The first period line: ".TODAY...", ".REST OF TODAY...", ".MONDAY NIGHT...".
  auto first = lines.begin();
  while (first != lines.end() && !(first->size() > 1 && (*first)[0] == '.' && (*first)[1] != '.')) ++first;
  if (first == lines.end()) first = lines.begin();
  std::string out;
  for (auto it = first; it != lines.end() && text::trim(*it) != "$$"; ++it) {
    out += *it;
    out += '\n';
  }
  return text::trim(out);
}

ConditionsDocumentMaker::ConditionsDocumentMaker(const PlaceTables& tables, const TimeZones& zones,
                                                 DocumentMakerLimits limits)
    : tables_(tables), zones_(zones), documents_(limits.max_documents), skies_(limits.max_sky_days) {}

std::shared_ptr<const TimeZoneRules> ConditionsDocumentMaker::rules(const ResolvedPlace& place) const {
  if (!place.time_zone.empty())
    if (auto found = zones_.rules(place.time_zone)) return found;
  return zones_.rules(kFallbackZone);
}

ConditionsDocumentMaker::Sky ConditionsDocumentMaker::sky(const std::string& key, const ResolvedPlace& place,
                                                          const TimeZoneRules& zone, sys_seconds now) {
  {
    const std::lock_guard lock(mutex_);
    if (const Sky* known = skies_.find(key); known != nullptr && known->day.holds(now)) return *known;
  }
  const SkyTimes times = sky_times({place.latitude, place.longitude}, zone, now);
  Sky s{local_day(zone, now), times.sunrise, times.sunset, times.moonrise, times.moonset, moon_phase_name(zone, now)};
  const std::lock_guard lock(mutex_);
  ++stats_.sky_computed;
  skies_.put(key, s);
  return s;
}

Document ConditionsDocumentMaker::make(const DocumentInput& in) {
  const Observation& o = in.observation;
  const sys_seconds now = std::chrono::floor<std::chrono::seconds>(in.now);
  const std::string place_key = describe(in.place);
  const std::string key = (in.form == Form::Page ? "page " : "raw ") + place_key;
  const auto same_inputs = [&](const Made& m) {
    return m.day.holds(now) && m.station == o.station && m.issued == o.issued && m.report == o.report &&
           m.has_forecast == (in.forecast != nullptr) && (in.forecast == nullptr || m.forecast == in.forecast->text);
  };
  {
    const std::lock_guard lock(mutex_);
    if (const Made* made = documents_.find(key); made != nullptr && same_inputs(*made)) {
      ++stats_.served_again;
      return Document{*made->text, {}};
    }
  }

  MetarResult decoded = decode_metar(o.report);
  if (!decoded.ok()) return Document{{}, decoded.error};
  const std::shared_ptr<const TimeZoneRules> zone = rules(in.resolved);
  if (!zone) return Document{{}, "no time zone rules for " + in.resolved.time_zone};

  const ResolvedPlace& place = in.resolved;
  ConditionsReport report;
  report.place_name = place.name;
  report.city = place.city;
  report.state_or_country = place.region;
  report.station_icao = o.station;
  if (const MetarStation* station = tables_.station(o.station)) report.station_name = station->name;
  report.observed = observation_text(zone_time(*zone, std::chrono::floor<std::chrono::seconds>(o.issued)));
  report.metar = std::move(*decoded.metar);
  Sky s = sky(place_key, place, *zone, now);
  report.sunrise = std::move(s.sunrise);
  report.sunset = std::move(s.sunset);
  report.moonrise = std::move(s.moonrise);
  report.moonset = std::move(s.moonset);
  report.moon_phase = std::move(s.moon_phase);
  if (in.forecast != nullptr)
    report.forecast = forecast_periods(in.forecast->text);
  else
    report.forecast = place.forecast_zone.empty() ? kNoForecastAbroad : kNoForecastNow;

  auto text =
      std::make_shared<const std::string>(in.form == Form::Page ? conditions_page(report) : conditions_raw(report));
  Made made{
      o.station, o.report, in.forecast != nullptr ? in.forecast->text : std::string(), o.issued, in.forecast != nullptr,
      s.day,     text};
  const std::lock_guard lock(mutex_);
  ++stats_.made;
  documents_.put(key, std::move(made));
  return Document{*text, {}};
}

DocumentMakerStats ConditionsDocumentMaker::stats() const {
  const std::lock_guard lock(mutex_);
  return stats_;
}

}  // namespace cirrodex::service
