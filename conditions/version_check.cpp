#include "conditions/version_check.h"

#include <cstdio>

#include "platform/text.h"
#include "platform/version.h"

namespace cirrodex {

std::string update_message(std::string_view received, std::string_view own) {
  const std::int64_t at = text::find(received, "Version#");
  if (at == 0) return "Error retrieving version #.  Please try again later.";
  const std::string latest = text::copy(received, at + 8, 6);
  const std::string mine(own);
  if (latest > mine) return "You are using an older version (" + mine + "). The latest version is " + latest + ".";
  return "Your version is the most current (" + mine + "). The latest version is " + latest + ".";
}

void check_for_update(const std::function<std::optional<std::string>(const std::string& url)>& fetch,
                      const Services& services, Host& host) {
  const std::optional<std::string> received = fetch(services.url("maker_files", kVersionFilePath));
  host.message_box(update_message(received.value_or(""), kProgramVersion), MessageKind::Information,
                   MessageButtons::Ok);
  host.show_status("Thank you for using Cirrodex...");
  std::remove("Head.txt");
}

}  // namespace cirrodex
