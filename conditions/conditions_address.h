#pragma once
// The address of a location's conditions document at the conditions service:
// a zip code, a US state and city, or the weather station of a place abroad.

#include <functional>
#include <string>

#include "locations/location_context.h"
#include "platform/host.h"
#include "platform/services.h"

namespace cirrodex {

// The conditions address for a location context (the host from the
// services); empty, after a message, when the station lookup fails.
std::string build_conditions_url(const Services& services, const std::string& data_source, LocationContext& ctx,
                                 Host& host, const std::function<std::string(LocationContext&)>& lookup_station);

}  // namespace cirrodex
