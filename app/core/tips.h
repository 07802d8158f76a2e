#pragma once
// The tips of the day, in the order the dialog steps through them with
// "Next Tip". Plain Latin-1 text; the double blanks after sentences and the
// blank at the end of the seventh are part of the texts.

#include <array>
#include <string_view>

namespace cirrodex {

inline constexpr std::array<std::string_view, 8> kTips = {
    "If you're a first time user, please view the help file (under Help menu) for tips and getting started "
    "information.",
    "Did you know Cirrodex can update your wallpaper with your favorite satellite/radar (or any web) image?  See "
    "Options->Preferences->General Preferences for options.",
    "Don't like the Cirrodex window?  You can change the look!  Cirrodex now supports Skins!  Visit the "
    "Options->Skins.",
    "Cirrodex has a neat Task Bar feature that allows you to have a separate Cirrodex task bar on your desktop.  See "
    "Options->View Task Bar.",
    "Cirrodex can automatically warn you about weather warnings!  See the Options->Preferences->General Preferences.",
    "Cirrodex can create a log file for you - saving all stats to a log file - which you can view in a movable "
    "chart!  See Options->Preferences->General Preferences.",
    "You can view your daily weather logs in chart format - just visit Reports->Daily Charts menu. ",
    "To make sure you have the latest version of Cirrodex, click the \"Check for Update\" option under the Help "
    "menu.",
};

inline constexpr std::string_view kTipCaption = "Cirrodex Tip-of-the-Day";
inline constexpr std::string_view kTipHeading = "Did you know...";

}  // namespace cirrodex
