#pragma once
// Text work on 8-bit Latin-1 byte strings with 1-based character positions.
// Every marker search, copy and replacement in the program goes through these,
// so that offsets taken from labels mean the same thing everywhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex::text {

inline constexpr char kDegree = '\xB0';  // the degree sign, code 176

// Position (1-based) of the first occurrence of needle in hay; 0 when absent
// or when needle is empty.
std::int64_t find(std::string_view hay, std::string_view needle);

// Like find, but the search starts at the 1-based position from (positions
// below 1 count as 1).
std::int64_t find_from(std::string_view hay, std::string_view needle, std::int64_t from);

// Up to count characters from the 1-based position pos. A position below 1
// counts as 1, a count below 1 gives the empty text, and the copy never runs
// past the end.
std::string copy(std::string_view s, std::int64_t pos, std::int64_t count);

// Every occurrence of from, left to right, replaced by to; the inserted text
// is not scanned again. An empty from leaves s unchanged.
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);

// Strip characters with codes 0 to 32 at both ends, at the start, at the end.
std::string trim(std::string_view s);
std::string trim_left(std::string_view s);
std::string trim_right(std::string_view s);

// Case folding of the ASCII letters only; bytes above 127 are left alone.
std::string upper(std::string_view s);
std::string lower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
// Negative, zero or positive like strcmp, ignoring ASCII letter case.
int icompare(std::string_view a, std::string_view b);

bool is_digit(char c);

// The lines of a text, without their "\n" or "\r\n"; no empty last line
// for a text that ends in a line break.
std::vector<std::string_view> lines(std::string_view s);

// A whole decimal integer with an optional sign, or "$" and hexadecimal
// digits; nothing else around it. Empty when the text is not such a number
// or does not fit in 64 bits.
std::optional<std::int64_t> to_integer(std::string_view s);

// Latin-1 to UTF-8 and back. Code points above 255 become '?'; bytes that
// are not valid UTF-8 are taken as Latin-1 characters.
std::string latin1_to_utf8(std::string_view s);
std::string utf8_to_latin1(std::string_view s);

}  // namespace cirrodex::text
