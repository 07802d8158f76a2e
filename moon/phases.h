#pragma once
// Phases of the Moon and the quantities of the current lunation.

#include "moon/julian.h"

namespace cirrodex::moon {

enum class PhaseKind { NewMoon = 0, FirstQuarter = 1, FullMoon = 2, LastQuarter = 3 };

// The elements of one lunation k (k a whole number for new moon, plus 0.25 per
// quarter), shared by the phase and eclipse computations. Angles in degrees,
// not reduced.
struct LunationElements {
  Real k = 0;
  Real t = 0;         // k / 1236.85
  Real mean_jde = 0;  // the mean phase
  Real m = 0;         // Sun's mean anomaly
  Real mp = 0;        // Moon's mean anomaly
  Real f = 0;         // Moon's argument of latitude
  Real omega = 0;     // longitude of the ascending node
  Real e = 0;         // eccentricity factor, from the instant itself
};
LunationElements lunation_elements(PhaseKind kind, Instant t);

// The instant of that phase in the lunation nearest to t.
Instant phase_instant(PhaseKind kind, Instant t);
// The latest phase of that kind at or before t.
Instant last_phase(PhaseKind kind, Instant t);
// The earliest phase of that kind at or after t.
Instant next_phase(PhaseKind kind, Instant t);

// The Moon's phase angle, -180..180 degrees, negative while waning.
Real phase_angle(Instant t);
// 0 at new moon to 1 at full moon.
Real illuminated_fraction(Instant t);
// Days since new moon, from the elongation in longitude.
Real moon_age(Instant t);
// The Brown lunation number of the last new moon at or before t.
int lunation_number(Instant t);

}  // namespace cirrodex::moon
