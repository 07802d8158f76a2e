#include "app/core/commands.h"

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

std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      in_word = true;
    } else if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace cirrodex
