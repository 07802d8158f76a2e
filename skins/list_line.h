#pragma once
// The comma-separated lines of a skin's hot areas, display slots and track bars.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

// Splits a list line: leading codes 1 to 32 are skipped; an item opening with
// a double quote runs to its closing quote ("" inside stands for one quote,
// commas allowed); any other item runs to the next comma or control code,
// blanks inside included; then blanks, one comma and the blanks after it are
// skipped. Empty items between commas are kept. A NUL ends the line.
std::vector<std::string> split_list_line(std::string_view line);

// A skin number: decimal, or "$" and hexadecimal digits (blanks around allowed).
std::optional<long long> skin_number(std::string_view item);

}  // namespace cirrodex
