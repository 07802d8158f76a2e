#include "moon/phases.h"

#include <span>

#include "moon/harmonics.h"
#include "moon/position.h"
#include "moon/tables.h"

namespace cirrodex::moon {
namespace {

constexpr Real kSynodicMonth = 29.530589L;
// The search steps by less than a lunation so that it never skips a phase.
constexpr Real kSearchStep = 28;

Real periodic_terms(std::span<const tables::PhaseTerm> terms, const LunationElements& l) {
  const AngleMultiples mm(l.m), mmp(l.mp), mf(l.f), mom(l.omega);
  Real sum = 0;
  for (const auto& term : terms) {
    const CosSin arg = mm(term.m) * mmp(term.mp) * mf(term.f) * mom(term.om);
    Real factor = 1;
    for (int i = 0; i < term.e; ++i) factor *= l.e;
    sum += static_cast<Real>(term.coefficient) * factor * arg.s;
  }
  return sum / 100000.0L;
}

// Added for the first quarter, subtracted for the last.
Real quarter_w(const LunationElements& l) {
  return 0.00306L - 0.00038L * l.e * cosd(l.m) + 0.00026L * cosd(l.mp) - 0.00002L * cosd(l.mp - l.m) +
         0.00002L * cosd(l.mp + l.m) + 0.00002L * cosd(2 * l.f);
}

Real additional_corrections(const LunationElements& l) {
  Real sum = 0;
  bool first = true;
  for (const auto& a : tables::phase_additional()) {
    Real arg = a.base + a.rate * l.k;
    if (first) arg -= 0.009173L * l.t * l.t;
    first = false;
    sum += static_cast<Real>(a.coefficient) * sind(arg);
  }
  return sum / 1000000.0L;
}

}  // namespace

LunationElements lunation_elements(PhaseKind kind, Instant t) {
  LunationElements l;
  l.k = round_even((t - kInstant2000) / 36525.0L * 1236.85L) + static_cast<Real>(static_cast<int>(kind)) / 4.0L;
  const Real tc = l.k / 1236.85L;
  const Real t2 = tc * tc;
  const Real t3 = t2 * tc;
  const Real t4 = t3 * tc;
  l.t = tc;
  l.mean_jde = 2451550.09765L + 29.530588853L * l.k + 0.0001337L * t2 - 0.00000015L * t3 + 0.00000000073L * t4;
  l.m = 2.5534L + 29.10535669L * l.k - 0.0000218L * t2 - 0.00000011L * t3;
  l.mp = 201.5643L + 385.81693528L * l.k + 0.1017438L * t2 + 0.00001239L * t3 - 0.000000058L * t4;
  l.f = 160.7108L + 390.67050274L * l.k - 0.0016341L * t2 - 0.00000227L * t3 + 0.000000011L * t4;
  l.omega = 124.7746L - 1.5637558L * l.k + 0.0020691L * t2 + 0.00000215L * t3;
  const Real te = julian_centuries(julian_date(t));
  l.e = 1 - 0.002516L * te - 0.0000074L * te * te;
  return l;
}

Instant phase_instant(PhaseKind kind, Instant t) {
  const LunationElements l = lunation_elements(kind, t);
  Real jde = l.mean_jde;
  switch (kind) {
    case PhaseKind::NewMoon:
      jde += periodic_terms(tables::new_moon(), l);
      break;
    case PhaseKind::FullMoon:
      jde += periodic_terms(tables::full_moon(), l);
      break;
    case PhaseKind::FirstQuarter:
      jde += periodic_terms(tables::quarter_moon(), l) + quarter_w(l);
      break;
    case PhaseKind::LastQuarter:
      jde += periodic_terms(tables::quarter_moon(), l) - quarter_w(l);
      break;
  }
  jde += additional_corrections(l);
  return instant_of_julian_date(jde);
}

Instant last_phase(PhaseKind kind, Instant t) {
  Instant x = t + kSearchStep;
  Instant p = 0;
  do {
    p = phase_instant(kind, x);
    x -= kSearchStep;
  } while (p > t);
  return p;
}

Instant next_phase(PhaseKind kind, Instant t) {
  Instant x = t - kSearchStep;
  Instant p = 0;
  do {
    p = phase_instant(kind, x);
    x += kSearchStep;
  } while (p < t);
  return p;
}

Real phase_angle(Instant t) {
  const BodyPosition sun = sun_position(t);
  const BodyPosition moon = moon_position(t);
  const Real r = sun.distance_km;
  const Real psi = acosd(cosd(moon.latitude) * cosd(moon.longitude - sun.longitude));
  Real i = atand(r * sind(psi) / (moon.distance_km - r * cosd(psi)));
  if (i < 0) i += 180;
  return normalized(moon.longitude - sun.longitude) > 180 ? -i : i;
}

Real illuminated_fraction(Instant t) { return (1 + cosd(phase_angle(t))) / 2; }

Real moon_age(Instant t) {
  const Real elongation = normalized(moon_position(t).longitude - sun_position(t).longitude);
  return elongation / 360.0L * kSynodicMonth;
}

int lunation_number(Instant t) {
  const Instant brown_epoch = instant_of_julian_date(2423436.0L);
  const Real n = round_even((last_phase(PhaseKind::NewMoon, t) - brown_epoch) / kSynodicMonth) + 1;
  return static_cast<int>(n);
}

}  // namespace cirrodex::moon
