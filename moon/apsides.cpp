#include "moon/apsides.h"

#include "moon/tables.h"

namespace cirrodex::moon {
namespace {

Instant apsis(Instant t, bool is_apogee) {
  const Instant jan_1999 = make_instant(1999, 1, 1);
  const Real k = round_even(((t - jan_1999) / 365.25L - 0.97L) * 13.2555L) + (is_apogee ? 0.5L : 0.0L);
  const Real tc = k / 1325.55L;
  const Real t2 = tc * tc;
  const Real t3 = t2 * tc;
  const Real t4 = t3 * tc;
  Real jde = 2451534.6698L + 27.55454988L * k - 0.0006886L * t2 - 0.000001098L * t3 + 0.0000000052L * t4;
  const Real d = 171.9179L + 335.9106046L * k - 0.010025L * t2 - 0.00001156L * t3 + 0.000000055L * t4;
  const Real m = 347.3477L + 27.1577721L * k - 0.0008323L * t2 - 0.000001L * t3;
  const Real f = 316.6109L + 364.5287911L * k - 0.0125131L * t2 - 0.0000148L * t3;

  for (const auto& term : is_apogee ? tables::apogee() : tables::perigee()) {
    const Real arg = term.d * d + term.f * f + term.m * m;
    jde += (static_cast<Real>(term.a) / 10000.0L + static_cast<Real>(term.b) / 100000.0L * tc) * sind(arg);
  }
  return instant_of_julian_date(jde);
}

// The search steps by 27 days, less than the anomalistic month (27.55 days):
// a 28-day step moves k by 1.016 and skips an apsis when t lies about half
// way between two of them.
constexpr Real kSearchStep = 27;

Instant next_apsis(Instant t, bool is_apogee) {
  Instant x = t - kSearchStep;
  Instant p = 0;
  do {
    p = apsis(x, is_apogee);
    x += kSearchStep;
  } while (p < t);
  return p;
}

}  // namespace

Instant perigee(Instant t) { return apsis(t, false); }
Instant apogee(Instant t) { return apsis(t, true); }
Instant next_perigee(Instant t) { return next_apsis(t, false); }
Instant next_apogee(Instant t) { return next_apsis(t, true); }

}  // namespace cirrodex::moon
