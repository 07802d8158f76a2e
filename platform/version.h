#pragma once
// The program's own version, as the About window shows it and the version
// file on the maker's host carries it.

#include <string_view>

namespace cirrodex {

inline constexpr std::string_view kProgramVersion = "2.05.0";

}  // namespace cirrodex
