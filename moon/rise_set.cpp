#include "moon/rise_set.h"

#include "moon/errors.h"
#include "moon/position.h"

namespace cirrodex::moon {
namespace {

struct Equatorial {
  Real alpha;
  Real delta;
};

Equatorial position_at(Body body, Real latitude, Real longitude, Instant t) {
  if (body == Body::Sun) {
    const BodyPosition p = sun_position(t);
    return {p.right_ascension, p.declination};
  }
  const BodyPosition p = topocentric(moon_position(t), latitude, longitude, t);
  return {p.right_ascension, p.declination};
}

// A difference of two tabulated angles, taken across 0/360 the short way.
Real wrapped_difference(Real d) {
  if (d > 100) return d - 360;
  if (d < -100) return d + 360;
  return d;
}

// Three-point interpolation at fraction n of the day from the middle value.
Real interpolate(Real y1, Real y2, Real y3, Real n) {
  const Real a = wrapped_difference(y2 - y1);
  const Real b = wrapped_difference(y3 - y2);
  return y2 + n / 2 * (a + b + n * (b - a));
}

Real fraction_of_day(Real m) {
  Real f = m - std::trunc(m);
  if (f < 0) f += 1;
  return f;
}

}  // namespace

Instant rise_transit_set(Body body, RiseKind kind, Real latitude, Real longitude, Instant day) {
  Real h0 = -0.8333L;
  if (body == Body::Moon) {
    const Real parallax = topocentric(moon_position(day), latitude, longitude, day).parallax;
    h0 = 0.7275L * parallax - 0.5666666666666667L;
  }

  const Instant d0 = std::floor(day);
  const Real theta0 = sidereal_time(d0);
  const Equatorial p1 = position_at(body, latitude, longitude, d0 - 1);
  const Equatorial p2 = position_at(body, latitude, longitude, d0);
  const Equatorial p3 = position_at(body, latitude, longitude, d0 + 1);

  const Real cos_h0 = (sind(h0) - sind(latitude) * sind(p2.delta)) / (cosd(latitude) * cosd(p2.delta));
  if (cos_h0 < -1 || cos_h0 > 1) throw E_NoRiseSet();
  const Real hour_angle0 = acosd(cos_h0);

  const Real m0 = (p2.alpha + longitude - theta0) / 360;
  Real m = 0;
  switch (kind) {
    case RiseKind::Rise:
      m = fraction_of_day(m0 - hour_angle0 / 360);
      break;
    case RiseKind::Set:
      m = fraction_of_day(m0 + hour_angle0 / 360);
      break;
    case RiseKind::Transit:
      m = fraction_of_day(m0);
      break;
  }

  // One correction step, no further iteration.
  const Real theta = theta0 + 360.985647L * m;
  const Real alpha = interpolate(p1.alpha, p2.alpha, p3.alpha, m);
  const Real delta = interpolate(p1.delta, p2.delta, p3.delta, m);
  Real h = normalized(theta - longitude - alpha);
  if (h > 180) h -= 360;
  if (kind == RiseKind::Transit) {
    m += -h / 360;
  } else {
    const Real altitude = asind(sind(latitude) * sind(delta) + cosd(latitude) * cosd(delta) * cosd(h));
    m += (altitude - h0) / (360 * cosd(delta) * cosd(latitude) * sind(h));
  }
  return d0 + m;
}

}  // namespace cirrodex::moon
