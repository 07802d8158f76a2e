#include "moon/harmonics.h"
#include "moon/position.h"
#include "moon/tables.h"

namespace cirrodex::moon {

Nutation nutation(Real t) {
  const Real t2 = t * t;
  const Real t3 = t2 * t;
  const Real d = normalized(297.85036L + 445267.111480L * t - 0.0019142L * t2 + t3 / 189474.0L);
  const Real m = normalized(357.52772L + 35999.050340L * t - 0.0001603L * t2 - t3 / 300000.0L);
  const Real mp = normalized(134.96298L + 477198.867398L * t + 0.0086972L * t2 + t3 / 56250.0L);
  const Real f = normalized(93.27191L + 483202.017538L * t - 0.0036825L * t2 + t3 / 327270.0L);
  const Real om = normalized(125.04452L - 1934.136261L * t + 0.0020708L * t2 + t3 / 450000.0L);

  Real dpsi = 0;  // units of 0.0001"
  Real deps = 0;
  const AngleMultiples md(d), mm(m), mmp(mp), mf(f), mom(om);
  for (const auto& term : tables::nutation()) {
    const CosSin arg = md(term.d) * mm(term.m) * mmp(term.mp) * mf(term.f) * mom(term.om);
    dpsi += (static_cast<Real>(term.a) + static_cast<Real>(term.b10) / 10.0L * t) * arg.s;
    deps += (static_cast<Real>(term.c) + static_cast<Real>(term.d10) / 10.0L * t) * arg.c;
  }

  Nutation n;
  n.longitude = dpsi / 10000.0L / 3600.0L;
  n.obliquity = deps / 10000.0L / 3600.0L;
  n.mean_obliquity = (84381.448L - 46.815L * t - 0.00059L * t2 + 0.001813L * t3) / 3600.0L;
  n.true_obliquity = n.mean_obliquity + n.obliquity;
  return n;
}

void apply_nutation(BodyPosition& p, Real t) {
  const Nutation n = nutation(t);
  const Real eps = n.true_obliquity;
  p.longitude = normalized(p.longitude + n.longitude);
  const Real lon = p.longitude;
  const Real lat = p.latitude;
  p.right_ascension = atan2d(sind(lon) * cosd(eps) - tand(lat) * sind(eps), cosd(lon));
  p.declination = asind(sind(lat) * cosd(eps) + cosd(lat) * sind(eps) * sind(lon));
}

}  // namespace cirrodex::moon
