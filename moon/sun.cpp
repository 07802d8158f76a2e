#include "moon/position.h"

namespace cirrodex::moon {

BodyPosition sun_position(Instant t) {
  const Real tc = julian_centuries(julian_date(t));
  const Real t2 = tc * tc;
  const Real m = 357.5291L + 35999.0503L * tc - 0.0001559L * t2 - 0.00000048L * t2 * tc;
  const Real c = (1.9146L - 0.004817L * tc - 0.000014L * t2) * sind(m) + (0.019993L - 0.000101L * tc) * sind(2 * m) +
                 0.00029L * sind(3 * m);
  const Real l0 = 280.46645L + 36000.76983L * tc + 0.0003032L * t2;
  const Real true_longitude = normalized(l0 + c);
  const Real e = 0.016708617L - 0.000042037L * tc - 0.0000001236L * t2;
  const Real r_au = 1.000001018L * (1 - e * e) / (1 + e * cosd(m + c));
  const Real om = 125.04452L - 1934.136261L * tc + 0.0020708L * t2 + t2 * tc / 450000.0L;

  BodyPosition p;
  // The last term is the aberration, 20.4898" / R.
  p.longitude = normalized(true_longitude - 0.00569L - 0.00478L * sind(om) - 0.0056916111L / r_au);
  p.latitude = 0;
  p.distance_km = r_au * kAstronomicalUnitKm;
  apply_nutation(p, tc);
  return p;
}

Real sun_distance(Instant t) { return sun_position(t).distance_km / kAstronomicalUnitKm; }

Real sun_diameter(Instant t) { return 2 * 959.63L / sun_distance(t); }

}  // namespace cirrodex::moon
