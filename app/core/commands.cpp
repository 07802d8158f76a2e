#include "app/core/commands.h"

#include "platform/files.h"
#include "platform/text.h"

namespace cirrodex {

std::string help_topic_page(std::string_view topics, int topic) {
  while (!topics.empty()) {
    const std::size_t end = topics.find('\n');
    const std::string line = text::trim(topics.substr(0, end));
    const std::size_t blank = line.find(' ');
    if (blank != std::string::npos) {
      const auto number = text::to_integer(line.substr(0, blank));
      if (number && *number == topic) return text::trim(line.substr(blank + 1));
    }
    if (end == std::string_view::npos) break;
    topics.remove_prefix(end + 1);
  }
  return {};
}

void open_help(const MenuActions& actions, const std::string& share_dir, int topic) {
  std::string page =
      help_topic_page(read_whole_file(share_dir + "/help/topics.txt").bytes.value_or(std::string()), topic);
  if (page.empty()) page = "index.html";
  actions.open_in_browser(share_dir + "/help/" + page);
}

std::string support_address(const Services& services) {
  std::string address = services.value("maker_mail");
  if (text::lower(address).rfind("mailto:", 0) == 0) address.erase(0, 7);
  return address;
}

}  // namespace cirrodex
