#pragma once
// The errors of the astronomy library.

#include <stdexcept>

namespace cirrodex::moon {

// The body does not cross its standard altitude on that day.
class E_NoRiseSet : public std::runtime_error {
 public:
  E_NoRiseSet() : std::runtime_error("No rises or sets calculable") {}
};

// A year outside the range of the season polynomials (1000 to 3000).
class E_OutOfAlgorithRange : public std::runtime_error {
 public:
  E_OutOfAlgorithRange() : std::runtime_error("Out of range of the algorithm") {}
};

}  // namespace cirrodex::moon
