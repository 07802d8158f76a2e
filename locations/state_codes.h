#pragma once
// State names to USPS codes: the 50 states, District of Columbia, Puerto
// Rico and Virgin Islands. Names are compared exactly, case-sensitively.

#include <string>

namespace cirrodex {

// The code for a state name, or the input unchanged when it is not a state
// name (Canadian provinces, Chinese regions and countries pass through).
std::string state_code_from_tree_name(const std::string& name);

struct TitleParts {
  std::string city;  // the text before the first ","; the whole title without one
  std::string code;  // the state code, or empty
};

// Splits a location title ("Tuscaloosa, Alabama") at its first "," and looks
// the trimmed rest up. Two more rows than the tree variant: "Peru" gives
// "Peru (O)" and "United_Kingdom" gives "United Kingdom (O)".
TitleParts state_code_from_title(const std::string& title);

}  // namespace cirrodex
