#include "moon/eclipses.h"

#include "moon/phases.h"

namespace cirrodex::moon {
namespace {

EclipseType solar_type(Real gamma, Real u) {
  const Real g = std::fabs(gamma);
  if (g < 0.9972L) {
    if (u < 0) return EclipseType::Total;
    if (u > 0.0047L) return EclipseType::Annular;
    return u >= 0.00464L * std::sqrt(1 - gamma * gamma) ? EclipseType::Annular : EclipseType::AnnularTotal;
  }
  if (g <= 1.5433L + u) return g < 0.9972L + std::fabs(u) ? EclipseType::NonCentral : EclipseType::Partial;
  return EclipseType::None;
}

}  // namespace

Eclipse eclipse_at_phase(Instant p, bool solar) {
  const LunationElements l = lunation_elements(solar ? PhaseKind::NewMoon : PhaseKind::FullMoon, p);
  Eclipse out;
  if (std::fabs(sind(l.f)) > 0.36L) {
    out.instant = instant_of_julian_date(l.mean_jde);
    return out;
  }

  const Real e = l.e;
  const Real mp = l.mp;
  const Real m = l.m;
  const Real f1 = l.f - 0.02665L * sind(l.omega);
  const Real a1 = 299.77L + 0.107408L * l.k - 0.009173L * l.t * l.t;
  Real jde = l.mean_jde;
  jde += solar ? -0.4075L * sind(mp) + 0.1721L * e * sind(m) : -0.4065L * sind(mp) + 0.1727L * e * sind(m);
  jde += 0.0161L * sind(2 * mp) - 0.0097L * sind(2 * f1) + 0.0073L * e * sind(mp - m) - 0.005L * e * sind(mp + m) -
         0.0023L * sind(mp - 2 * f1) + 0.0021L * e * sind(2 * m) + 0.0012L * sind(mp + 2 * f1) +
         0.0006L * e * sind(2 * mp + m) - 0.0004L * sind(3 * mp) - 0.0003L * e * sind(m + 2 * f1) + 0.0003L * sind(a1) -
         0.0002L * e * sind(m - 2 * f1) - 0.0002L * e * sind(2 * mp - m) - 0.0002L * sind(l.omega);

  const Real pp = 0.207L * e * sind(m) + 0.0024L * e * sind(2 * m) - 0.0392L * sind(mp) + 0.0116L * sind(2 * mp) -
                  0.0073L * e * sind(mp + m) + 0.0067L * e * sind(mp - m) + 0.0118L * sind(2 * f1);
  const Real q = 5.2207L - 0.0048L * e * cosd(m) + 0.002L * e * cosd(2 * m) - 0.3299L * cosd(mp) -
                 0.006L * e * cosd(mp + m) + 0.0041L * e * cosd(mp - m);
  const Real w = std::fabs(cosd(f1));
  out.gamma = (pp * cosd(f1) + q * sind(f1)) * (1 - 0.0048L * w);
  out.u = 0.0059L + 0.0046L * e * cosd(m) - 0.0182L * cosd(mp) + 0.0004L * cosd(2 * mp) - 0.0005L * cosd(m + mp);
  out.instant = instant_of_julian_date(jde);

  const Real g = std::fabs(out.gamma);
  if (solar) {
    out.type = solar_type(out.gamma, out.u);
  } else {
    out.umbral_magnitude = (1.0128L - out.u - g) / 0.545L;
    if (out.umbral_magnitude > 0) {
      out.type = EclipseType::Umbral;
    } else if ((1.5573L + out.u - g) / 0.545L > 0) {
      out.type = EclipseType::Penumbral;
    }
  }
  return out;
}

Eclipse next_eclipse_search(Instant p, bool solar) {
  // eclipse_at_phase answers for the lunation whose mean new moon is nearest
  // (counted from 1 January 2000, so that lunation's new moon lies up to 9
  // days before or 20 days after the instant asked). 28 days after a new moon
  // that is the next lunation; 28 days after a full moon it would be the one
  // after next, skipping a full moon, so the lunar search asks half a
  // lunation earlier.
  const Real back = solar ? 0 : 29.530589L / 2;
  Eclipse found;
  found.instant = p - 56;
  do {
    found = eclipse_at_phase(found.instant + 28 - back, solar);
  } while (found.instant < p);
  return found;
}

}  // namespace cirrodex::moon
