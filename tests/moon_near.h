#pragma once
// Comparison of extended-precision values for the astronomy tests (gtest's
// EXPECT_NEAR works in double).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace cirrodex::moon {

inline ::testing::AssertionResult near_l(const char* a_text, const char* b_text, const char*, long double a,
                                         long double b, long double tolerance) {
  if (std::fabs(a - b) <= tolerance) return ::testing::AssertionSuccess();
  char buffer[200];
  std::snprintf(buffer, sizeof buffer, "%.12Lg vs %.12Lg: differ by %.6Lg, more than %.6Lg", a, b, std::fabs(a - b),
                tolerance);
  return ::testing::AssertionFailure() << a_text << " and " << b_text << ": " << buffer;
}

}  // namespace cirrodex::moon

#define EXPECT_CLOSE(a, b, tolerance) EXPECT_PRED_FORMAT3(::cirrodex::moon::near_l, a, b, tolerance)
