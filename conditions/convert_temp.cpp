#include "conditions/convert_temp.h"

#include <cmath>

#include "conditions/readings.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

struct Number {
  bool found = false;
  int value = 0;
};

Number leading_number(std::string_view text) {
  const std::string_view head = text.substr(0, 4);
  Number n;
  bool negative = false;
  for (const char c : head) {
    if (text::is_digit(c)) {
      n.found = true;
      n.value = n.value * 10 + (c - '0');
    } else if (c == '-' && !n.found) {
      negative = true;
    }
  }
  if (negative) n.value = -n.value;
  return n;
}

}  // namespace

std::string convert_temp(std::string_view text, ConvertMode mode, int& temperature_f) {
  const Number n = leading_number(text);
  if (!n.found) {
    if (mode != ConvertMode::None) temperature_f = kNoTemperature;
    return "n/a";
  }
  if (mode == ConvertMode::FX) {
    temperature_f = n.value;
    return std::string(text);
  }
  if (mode == ConvertMode::FC) temperature_f = n.value;
  // (N - 32) * 5 / 9 never lands on a half for a whole N, so the rounding
  // mode cannot matter.
  const long celsius = std::lround((n.value - 32) * 5.0 / 9.0);
  return std::to_string(celsius) + text::kDegree + " C  ";
}

}  // namespace cirrodex
