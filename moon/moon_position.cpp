#include "moon/harmonics.h"
#include "moon/position.h"
#include "moon/tables.h"

namespace cirrodex::moon {
namespace {

// The factor E for a term whose multiplier of M is m.
Real eccentricity_factor(int m, Real e) {
  switch (m < 0 ? -m : m) {
    case 1:
      return e;
    case 2:
      return e * e;
    default:
      return 1;
  }
}

}  // namespace

BodyPosition moon_position(Instant t) {
  const Real tc = julian_centuries(julian_date(t));
  const Real t2 = tc * tc;
  const Real t3 = t2 * tc;
  const Real t4 = t3 * tc;
  const Real lp = 218.3164591L + 481267.88134236L * tc - 0.0013268L * t2 + t3 / 538841.0L - t4 / 65194000.0L;
  const Real d = 297.8502042L + 445267.1115168L * tc - 0.00163L * t2 + t3 / 545868.0L - t4 / 113065000.0L;
  const Real m = 357.5291092L + 35999.0502909L * tc - 0.0001536L * t2 + t3 / 24490000.0L;
  const Real mp = 134.9634114L + 477198.8676313L * tc + 0.008997L * t2 + t3 / 69699.0L - t4 / 14712000.0L;
  const Real f = 93.2720993L + 483202.0175273L * tc - 0.0034029L * t2 - t3 / 3526000.0L + t4 / 863310000.0L;
  const Real a1 = 119.75L + 131.849L * tc;
  const Real a2 = 53.09L + 479264.29L * tc;
  const Real a3 = 313.45L + 481266.484L * tc;
  const Real e = 1 - 0.002516L * tc - 0.0000074L * t2;

  const AngleMultiples md(d), mm(m), mmp(mp), mf(f);
  Real sl = 0;
  Real sr = 0;
  for (const auto& term : tables::moon_longitude_distance()) {
    const CosSin arg = md(term.d) * mm(term.m) * mmp(term.mp) * mf(term.f);
    const Real factor = eccentricity_factor(term.m, e);
    sl += factor * static_cast<Real>(term.l) * arg.s;
    sr += factor * static_cast<Real>(term.r) * arg.c;
  }
  Real sb = 0;
  for (const auto& term : tables::moon_latitude()) {
    const CosSin arg = md(term.d) * mm(term.m) * mmp(term.mp) * mf(term.f);
    sb += eccentricity_factor(term.m, e) * static_cast<Real>(term.b) * arg.s;
  }
  sl += 3958 * sind(a1) + 1962 * sind(lp - f) + 318 * sind(a2);
  sb += -2235 * sind(lp) + 382 * sind(a3) + 175 * sind(a1 - f) + 175 * sind(a1 + f) + 127 * sind(lp - mp) -
        115 * sind(lp + mp);

  BodyPosition p;
  p.longitude = lp + sl / 1000000.0L;
  p.latitude = sb / 1000000.0L;
  p.distance_km = 385000.56L + sr / 1000.0L;
  p.parallax = horizontal_parallax(p.distance_km);
  apply_nutation(p, tc);
  return p;
}

Real horizontal_parallax(Real distance_km) {
  return asind(sind(8.794L / 3600.0L) / (distance_km / kAstronomicalUnitKm));
}

BodyPosition topocentric(const BodyPosition& geo, Real latitude, Real longitude, Instant t) {
  constexpr Real kHeight = 0;  // places are taken at sea level
  const Real u = atand(0.99330562133489609997L * tand(latitude));
  const Real rho_sin = 0.99664719L * sind(u) + kHeight / kEarthRadiusM * sind(latitude);
  const Real rho_cos = cosd(u) + kHeight / kEarthRadiusM * cosd(latitude);

  BodyPosition p = geo;
  p.parallax = horizontal_parallax(geo.distance_km);
  const Real sin_pi = sind(p.parallax);
  const Real h = sidereal_time(t) - longitude - geo.right_ascension;
  const Real denominator = cosd(geo.declination) - rho_cos * sin_pi * cosd(h);
  const Real dalpha = atand(-rho_cos * sin_pi * sind(h) / denominator);
  p.right_ascension = geo.right_ascension + dalpha;
  p.declination = atand((sind(geo.declination) - rho_sin * sin_pi) * cosd(dalpha) / denominator);
  return p;
}

Real moon_distance(Instant t) { return moon_position(t).distance_km; }

Real moon_diameter(Instant t) { return 2 * 358473400.0L / moon_distance(t); }

}  // namespace cirrodex::moon
