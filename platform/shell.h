#pragma once
// The desktop shell: open an address with the user's default handler (web
// pages in the browser, mailto: in the mail program, files in their
// application) and start other programs.

#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the desktop to open the address (a URL, or an absolute file path);
  // false when no handler could be started. The page itself is never waited
  // for.
  virtual bool open_address(const std::string& address) = 0;
  // Starts a program detached, in the folder (empty: the current folder);
  // false when it could not be started (not installed, not executable).
  virtual bool start_program(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& folder) = 0;
};

// Splits a command line into words: blanks separate, double quotes group,
// a backslash takes the next character as it is.
std::vector<std::string> split_command_line(std::string_view line);

}  // namespace cirrodex
