#pragma once
// The periodic terms of the series, stored as the book prints them: small
// integer multipliers of the fundamental arguments and integer coefficients
// in fixed units (noted per table), in the book's order.

#include <cstdint>
#include <span>

namespace cirrodex::moon::tables {

// Nutation (IAU 1980), first 31 terms. Units: 0.0001"; b and d are stored x10.
struct NutationTerm {
  std::int8_t d, m, mp, f, om;
  std::int32_t a, b10;  // longitude: (a + b T) sin(arg)
  std::int32_t c, d10;  // obliquity: (c + d T) cos(arg)
};
std::span<const NutationTerm> nutation();

// Moon's longitude (0.000001 deg, sine) and distance (0.001 km, cosine).
struct LongitudeDistanceTerm {
  std::int8_t d, m, mp, f;
  std::int32_t l, r;
};
std::span<const LongitudeDistanceTerm> moon_longitude_distance();

// Moon's latitude (0.000001 deg, sine).
struct LatitudeTerm {
  std::int8_t d, m, mp, f;
  std::int32_t b;
};
std::span<const LatitudeTerm> moon_latitude();

// Perigee and apogee: a in 0.0001 day, b in 0.00001 day, (a + b T) sin(arg).
struct ApsisTerm {
  std::int8_t d, f, m;
  std::int32_t a, b;
};
std::span<const ApsisTerm> perigee();
std::span<const ApsisTerm> apogee();

// Equinoxes and solstices: A cos(B + C T), A in 0.00001 day.
struct SeasonTerm {
  std::int32_t a;
  long double b, c;
};
std::span<const SeasonTerm> seasons();

// Periodic corrections of the phases: coefficient in 0.00001 day times E^e
// times sin(iM M + iM' M' + iF F + iOm Om).
struct PhaseTerm {
  std::int32_t coefficient;
  std::int8_t e, m, mp, f, om;
};
std::span<const PhaseTerm> new_moon();
std::span<const PhaseTerm> full_moon();
std::span<const PhaseTerm> quarter_moon();

// Additional corrections of every phase: coefficient in 0.000001 day times
// sin(A), A = base + rate k (+ the T^2 term of A1).
struct PlanetaryArgument {
  std::int32_t coefficient;
  long double base, rate;
};
std::span<const PlanetaryArgument> phase_additional();

}  // namespace cirrodex::moon::tables
