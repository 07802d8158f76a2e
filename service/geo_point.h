#pragma once
// A position on the Earth and the distance between two, for the nearest
// station and the nearest time zone.

namespace cirrodex::service {

// Degrees, north and east positive.
struct GeoPoint {
  double latitude = 0;
  double longitude = 0;
};

// Great-circle distance in km on a sphere of the Earth's mean radius.
double distance_km(GeoPoint a, GeoPoint b);

}  // namespace cirrodex::service
