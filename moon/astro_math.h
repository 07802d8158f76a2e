#pragma once
// Extended-precision helpers shared by the astronomy code: angles in degrees,
// rounding ties to even, and the normalisation into [0, 360).

#include <cmath>
#include <numbers>

namespace cirrodex::moon {

using Real = long double;

inline constexpr Real kPi = std::numbers::pi_v<Real>;
inline constexpr Real kDegToRad = kPi / 180.0L;
inline constexpr Real kRadToDeg = 180.0L / kPi;

// Nearest integer, ties to the even one (the default rounding mode).
inline Real round_even(Real x) { return std::nearbyint(x); }

// x - 360 round(x / 360), then lifted into 0 <= x < 360.
inline Real normalized(Real x) {
  Real r = x - 360.0L * round_even(x / 360.0L);
  while (r < 0) r += 360.0L;
  return r;
}

// The trigonometric functions take degrees. The argument is reduced first so
// that the large angles of the series (k times hundreds of degrees) keep
// their precision.
inline Real sind(Real x) { return std::sin(std::fmod(x, 360.0L) * kDegToRad); }
inline Real cosd(Real x) { return std::cos(std::fmod(x, 360.0L) * kDegToRad); }
inline Real tand(Real x) { return std::tan(std::fmod(x, 360.0L) * kDegToRad); }
inline Real asind(Real x) { return std::asin(x) * kRadToDeg; }
inline Real acosd(Real x) { return std::acos(x) * kRadToDeg; }
inline Real atand(Real x) { return std::atan(x) * kRadToDeg; }
inline Real atan2d(Real y, Real x) { return std::atan2(y, x) * kRadToDeg; }

}  // namespace cirrodex::moon
