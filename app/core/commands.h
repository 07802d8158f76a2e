#pragma once
// Small pieces of the menu commands that need no window.

#include <string>
#include <string_view>
#include <vector>

#include "app/core/menu_actions.h"
#include "platform/services.h"

namespace cirrodex {

inline constexpr std::string_view kDisclaimer =
    "The information provided here should not be relied on in lieu of officially disseminated weather forecasts, "
    "statements, watches, and warnings. My goal is to provide general weather information to the public.";

// The page of a help topic from the topics list (lines "number page");
// empty when the topic is not listed.
std::string help_topic_page(std::string_view topics, int topic);

// Opens the help page of a topic in the browser (the index when the topic
// is not listed); the pages sit in share_dir/help with their topics.txt.
void open_help(const MenuActions& actions, const std::string& share_dir, int topic);

// The maker's support address from the services file, without "mailto:".
std::string support_address(const Services& services);

}  // namespace cirrodex
