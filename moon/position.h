#pragma once
// Apparent positions of the Sun and the Moon, their distances and apparent
// diameters.

#include "moon/julian.h"

namespace cirrodex::moon {

inline constexpr Real kAstronomicalUnitKm = 149597869.0L;
inline constexpr Real kEarthRadiusM = 6378140.0L;
// The Earth radius used where distances are shown in Earth radii.
inline constexpr Real kEarthRadiusShownKm = 6378.15L;

struct BodyPosition {
  Real longitude = 0;        // ecliptic, degrees, 0..360
  Real latitude = 0;         // ecliptic, degrees
  Real distance_km = 0;      // from the Earth's centre
  Real right_ascension = 0;  // degrees, -180..180
  Real declination = 0;      // degrees
  Real parallax = 0;         // equatorial horizontal parallax, degrees (Moon only)
};

struct Nutation {
  Real longitude = 0;       // delta psi, degrees
  Real obliquity = 0;       // delta epsilon, degrees
  Real mean_obliquity = 0;  // epsilon 0, degrees
  Real true_obliquity = 0;  // epsilon 0 + delta epsilon, degrees
};

// Nutation and obliquity at T Julian centuries from J2000.0 (first 31 terms
// of the IAU 1980 series).
Nutation nutation(Real t_centuries);

// Adds the nutation in longitude and fills right ascension and declination.
void apply_nutation(BodyPosition& p, Real t_centuries);

// The Sun by the low-accuracy solar theory.
BodyPosition sun_position(Instant t);
// The Moon by the truncated lunar theory (geocentric), with its parallax.
BodyPosition moon_position(Instant t);

// The equatorial horizontal parallax of a body at that distance, degrees.
Real horizontal_parallax(Real distance_km);
// Replaces right ascension and declination by those seen from a place at sea
// level (latitude north positive, longitude west positive) at instant t.
BodyPosition topocentric(const BodyPosition& geocentric, Real latitude, Real longitude, Instant t);

// Astronomical units.
Real sun_distance(Instant t);
// Kilometres.
Real moon_distance(Instant t);
// Apparent diameters in arcseconds.
Real sun_diameter(Instant t);
Real moon_diameter(Instant t);

}  // namespace cirrodex::moon
