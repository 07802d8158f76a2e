#pragma once
// "Check for Update": the newest version number from the version file on
// the maker's host, compared as text with the program's own.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/services.h"

namespace cirrodex {

inline constexpr std::string_view kVersionFilePath = "/assets/cirrodexvs.txt";

// The message box text for the received version file: the six characters
// after "Version#" against own (character by character), or the error
// text when the file holds no "Version#".
std::string update_message(std::string_view received, std::string_view own);

// The command: fetch gets the version file's address with the main transfer
// component and gives its text, or nothing when the transfer failed. Then
// the message box, the closing status text and "Head.txt" deleted.
void check_for_update(const std::function<std::optional<std::string>(const std::string& url)>& fetch,
                      const Services& services, Host& host);

}  // namespace cirrodex
