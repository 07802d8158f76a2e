#pragma once
// The Fahrenheit reading of a text and its Celsius form.

#include <string>
#include <string_view>

namespace cirrodex {

enum class ConvertMode {
  FC,    // convert to Celsius and record TemperatureF
  FX,    // record TemperatureF, keep the text
  None,  // convert to Celsius only
};

// Reads the whole number formed by the digits among the first four
// characters (a minus sign before the first digit makes it negative). No digit
// gives "n/a" (and TemperatureF 999 in modes FC and FX). Celsius texts are the
// rounded integer, the degree sign and " C  ".
std::string convert_temp(std::string_view text, ConvertMode mode, int& temperature_f);

}  // namespace cirrodex
