// Relative humidity, heat index and wind chill against the published NWS
// tables and the formulas' own branches.
#include <gtest/gtest.h>

#include <cmath>

#include "service/weather_math.h"

namespace cirrodex {
namespace {

TEST(WeatherMath, UnitConversions) {
  EXPECT_DOUBLE_EQ(fahrenheit_from_celsius(0), 32);
  EXPECT_DOUBLE_EQ(fahrenheit_from_celsius(-40), -40);
  EXPECT_DOUBLE_EQ(fahrenheit_from_celsius(37), 98.6);
  EXPECT_NEAR(mph_from_knots(10), 11.5078, 1e-4);
  EXPECT_NEAR(mph_from_knots(100), 115.0779, 1e-4);
}

TEST(WeatherMath, RelativeHumidity) {
  const struct {
    double t, d, rh;
  } cases[] = {
      {20, 20, 100},  {20, 10, 52.5}, {-2.2, -9.4, 57.8}, {35, 23.9, 52.7},
      {32, -3, 10.3}, {0, -10, 46.9}, {30, 25, 74.6},
  };
  for (const auto& c : cases) EXPECT_NEAR(relative_humidity(c.t, c.d), c.rh, 0.05) << c.t << "/" << c.d;
  EXPECT_DOUBLE_EQ(relative_humidity(10, 12), 100);  // a dew point above the temperature: saturated
}

TEST(WeatherMath, HeatIndexMatchesTheNwsTable) {
  // The NWS heat index chart (the table the regression was fitted to).
  const struct {
    double t, rh;
    int table;
  } cases[] = {
      {90, 40, 91},   {90, 50, 95},  {90, 70, 106}, {90, 90, 122}, {100, 40, 109},
      {100, 50, 118}, {96, 55, 112}, {86, 80, 100}, {82, 70, 86},
  };
  for (const auto& c : cases) {
    const auto hi = heat_index_f(c.t, c.rh);
    ASSERT_TRUE(hi) << c.t << "/" << c.rh;
    EXPECT_NEAR(*hi, c.table, 1.3) << c.t << "/" << c.rh;  // the regression's stated error
  }
}

TEST(WeatherMath, HeatIndexBranches) {
  const struct {
    double t, rh;
    double expected;
  } cases[] = {
      {80, 10, 78.17},        // the simple formula stays below 80: it is the answer
      {80, 40, 79.58},        //
      {90, 40, 90.6796905},   // the regression
      {100, 5, 92.5039590},   // dry air: the adjustment is subtracted (94.18 without)
      {85, 90, 101.7808036},  // humid and below 87 °F: the adjustment is added (101.58 without)
      {88, 90, 113.2472652},  // humid but too warm for it
      {113, 5, 104.4297542},  // dry but too hot for it
  };
  for (const auto& c : cases) {
    const auto hi = heat_index_f(c.t, c.rh);
    ASSERT_TRUE(hi) << c.t << "/" << c.rh;
    EXPECT_NEAR(*hi, c.expected, 1e-5) << c.t << "/" << c.rh;
  }
  EXPECT_FALSE(heat_index_f(79.9, 90));
  EXPECT_FALSE(heat_index_f(50, 100));
}

TEST(WeatherMath, WindChillMatchesTheNwsTable) {
  // The NWS wind chill chart of 2001, rounded to whole degrees.
  const struct {
    double t, v;
    int table;
  } cases[] = {
      {40, 5, 36}, {30, 10, 21}, {0, 15, -19}, {-10, 20, -35}, {5, 30, -19}, {-45, 60, -98}, {50, 10, 46},
  };
  for (const auto& c : cases) {
    const auto wc = wind_chill_f(c.t, c.v);
    ASSERT_TRUE(wc) << c.t << "/" << c.v;
    EXPECT_EQ(std::lround(*wc), c.table) << c.t << "/" << c.v;
  }
}

TEST(WeatherMath, WindChillOnlyInColdWind) {
  EXPECT_TRUE(wind_chill_f(50, 3.1));
  EXPECT_FALSE(wind_chill_f(50.1, 20));  // above 50 °F
  EXPECT_FALSE(wind_chill_f(20, 3));     // 3 mph or less
  EXPECT_FALSE(wind_chill_f(20, 0));
}

}  // namespace
}  // namespace cirrodex
