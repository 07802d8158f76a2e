#pragma once
// The service's place resolver: the built-in place tables (US cities by
// state and address-form city, zip codes, the program's WMO station
// numbers) and the time zone chosen for each place. A place the tables do
// not hold resolves to nothing, which the handler answers with 404.

#include <optional>

#include "service/conditions_service.h"
#include "service/places.h"
#include "service/time_zones.h"

namespace cirrodex::service {

class PlaceDirectory final : public PlaceResolver {
 public:
  PlaceDirectory(const PlaceTables& tables, const TimeZones& zones, StationSearch search = {})
      : tables_(tables), zones_(zones), search_(search) {}

  std::optional<ResolvedPlace> resolve(const Place& place) override;

 private:
  const PlaceTables& tables_;
  const TimeZones& zones_;
  const StationSearch search_;
};

// The resolved form of a table record, with its time zone.
ResolvedPlace resolved_place(const PlaceRecord& record, const TimeZones& zones);

}  // namespace cirrodex::service
