#pragma once
// Sines and cosines of whole-number combinations of a few angles, as the
// periodic series need them: one sine and one cosine per angle, then angle
// addition, in place of a sine of every term's argument. Exact up to the
// last bits of extended precision, and about ten times faster.

#include <array>
#include <cstdlib>

#include "moon/astro_math.h"

namespace cirrodex::moon {

struct CosSin {
  Real c = 1;
  Real s = 0;
};

// The angle a + b.
inline CosSin operator*(const CosSin& a, const CosSin& b) { return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s}; }

// k times one angle, for -4 <= k <= 4 (the largest multiplier of the tables).
class AngleMultiples {
 public:
  explicit AngleMultiples(Real degrees) {
    const CosSin one{cosd(degrees), sind(degrees)};
    for (std::size_t k = 1; k < multiples_.size(); ++k) multiples_[k] = multiples_[k - 1] * one;
  }
  CosSin operator()(int k) const {
    const CosSin& v = multiples_.at(static_cast<std::size_t>(std::abs(k)));
    return k < 0 ? CosSin{v.c, -v.s} : v;
  }

 private:
  std::array<CosSin, 5> multiples_{};
};

}  // namespace cirrodex::moon
