#include "conditions/convert_temp.h"

#include <gtest/gtest.h>

namespace cirrodex {
namespace {

const std::string kDeg(1, '\xB0');

struct ConvertCase {
  const char* input;
  ConvertMode mode;
  std::string text;
  int temperature_f;  // after the call, starting from 55
};

TEST(ConvertTemp, Cases) {
  const ConvertCase cases[] = {
      {"-5\xB0"
       "F",
       ConvertMode::FC, "-21" + kDeg + " C  ", -5},  // -20.56 rounds to -21
      {"72\xB0"
       "F",
       ConvertMode::FC, "22" + kDeg + " C  ", 72},
      {"0\xB0"
       "F",
       ConvertMode::FC, "-18" + kDeg + " C  ", 0},
      {"72\xB0"
       "F",
       ConvertMode::FX,
       "72\xB0"
       "F",
       72},
      {"32 F", ConvertMode::None, "0" + kDeg + " C  ", 55},
      {"N/A", ConvertMode::FC, "n/a", 999},
      {"N/A", ConvertMode::FX, "n/a", 999},
      {"N/A", ConvertMode::None, "n/a", 55},  // mode none leaves TemperatureF alone
      {"", ConvertMode::FX, "n/a", 999},
      // Only the first four characters count, a minus only before the first digit.
      {"1234567", ConvertMode::FX, "1234567", 1234},
      {"abc 12", ConvertMode::FX, "n/a", 999},  // the digits lie past the first four
      {"1-2x", ConvertMode::FX, "1-2x", 12},
      {"--9", ConvertMode::FX, "--9", -9},
      {"+100", ConvertMode::FC, "38" + kDeg + " C  ", 100},
  };
  for (const auto& c : cases) {
    int f = 55;
    EXPECT_EQ(convert_temp(c.input, c.mode, f), c.text) << c.input;
    EXPECT_EQ(f, c.temperature_f) << c.input;
  }
}

}  // namespace
}  // namespace cirrodex
