#include "service/geo_point.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cirrodex::service {

double distance_km(GeoPoint a, GeoPoint b) {
  constexpr double kEarthRadiusKm = 6371.0;
  constexpr double rad = std::numbers::pi / 180;
  const double p1 = a.latitude * rad, p2 = b.latitude * rad;
  const double sin_dp = std::sin((p2 - p1) / 2), sin_dl = std::sin((b.longitude - a.longitude) * rad / 2);
  const double h = sin_dp * sin_dp + std::cos(p1) * std::cos(p2) * sin_dl * sin_dl;
  return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

}  // namespace cirrodex::service
