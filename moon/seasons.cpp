#include "moon/seasons.h"

#include "moon/errors.h"
#include "moon/tables.h"

namespace cirrodex::moon {

Instant season_start(int year, SeasonKind kind) {
  if (year < 1000 || year > 3000) throw E_OutOfAlgorithRange();
  const Real y = static_cast<Real>(year - 2000) / 1000.0L;
  const Real y2 = y * y;
  const Real y3 = y2 * y;
  const Real y4 = y3 * y;
  Real jde0 = 0;
  switch (kind) {
    case SeasonKind::MarchEquinox:
      jde0 = 2451623.80984L + 365242.37404L * y + 0.05169L * y2 - 0.00411L * y3 - 0.00057L * y4;
      break;
    case SeasonKind::JuneSolstice:
      jde0 = 2451716.56767L + 365241.62603L * y + 0.00325L * y2 + 0.00888L * y3 - 0.0003L * y4;
      break;
    case SeasonKind::SeptemberEquinox:
      jde0 = 2451810.21715L + 365242.01767L * y - 0.11575L * y2 + 0.00337L * y3 + 0.00078L * y4;
      break;
    case SeasonKind::DecemberSolstice:
      jde0 = 2451900.05952L + 365242.74049L * y - 0.06223L * y2 - 0.00823L * y3 + 0.00032L * y4;
      break;
  }
  const Real t = (jde0 - 2451545.0L) / 36525.0L;
  const Real w = 35999.373L * t - 2.47L;
  const Real dl = 1 + 0.0334L * cosd(w) + 0.0007L * cosd(2 * w);
  Real s = 0;
  for (const auto& term : tables::seasons()) s += static_cast<Real>(term.a) * cosd(term.b + term.c * t);
  return instant_of_julian_date(jde0 + 0.00001L * s / dl);
}

}  // namespace cirrodex::moon
