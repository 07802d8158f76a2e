#pragma once
// Small pieces of the menu commands that need no window.

#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

inline constexpr std::string_view kDisclaimer =
    "The information provided here should not be relied on in lieu of officially disseminated weather forecasts, "
    "statements, watches, and warnings. My goal is to provide general weather information to the public.";

// The page of a help topic from the topics list (lines "number page");
// empty when the topic is not listed.
std::string help_topic_page(std::string_view topics, int topic);

// Splits a command line into words: blanks separate, double quotes group,
// a backslash takes the next character as it is.
std::vector<std::string> split_command_line(std::string_view line);

}  // namespace cirrodex
