#include "service/place_directory.h"

#include <variant>

#include "platform/text.h"

namespace cirrodex::service {

ResolvedPlace resolved_place(const PlaceRecord& record, const TimeZones& zones) {
  ResolvedPlace p;
  p.name = record.display_name;
  p.city = record.name;
  p.region = record.region;
  p.stations.reserve(record.stations.size());
  for (const NearbyStation& s : record.stations) p.stations.push_back(s.icao);
  p.state = text::lower(record.state);
  p.forecast_zone = record.forecast_zone;
  p.country = record.country;
  p.time_zone = zones.zone_for(record.position, record.country, record.state);
  p.latitude = record.position.latitude;
  p.longitude = record.position.longitude;
  return p;
}

std::optional<ResolvedPlace> PlaceDirectory::resolve(const Place& place) {
  std::optional<PlaceRecord> record;
  if (const auto* us = std::get_if<UsCity>(&place))
    record = tables_.us_city(us->state, us->city, search_);
  else if (const auto* zip = std::get_if<ZipCode>(&place))
    record = tables_.zip_code(zip->zip, search_);
  else
    record = tables_.wmo_station(std::get<WmoStation>(place).wmo, search_);
  if (!record) return std::nullopt;
  return resolved_place(*record, zones_);
}

}  // namespace cirrodex::service
