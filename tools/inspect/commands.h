#pragma once
// The subcommands of cirrodex-inspect.

#include <string>
#include <vector>

namespace cirrodex::inspect {

// Prints "cirrodex-inspect: WHY" and the usage; returns 2.
int usage_error(const std::string& why);

// The text of a skin.ini, or of the built-in one for "default"; empty when unreadable.
std::string skin_ini_text(const std::string& path);

// A text with its carriage returns and line feeds written \\r and \\n.
std::string shown(const std::string& s);
// Whether a recorded call is one the commands print (status texts, beeps,
// pauses, messages, slot and preset writes).
bool is_listed_call(const std::string& e);

int run_parse(const std::vector<std::string>& args);
int run_location(const std::vector<std::string>& args);
int run_url(const std::vector<std::string>& args);
int run_station(const std::vector<std::string>& args);
int run_tree(const std::vector<std::string>& args);
int run_skin(const std::vector<std::string>& args);
int run_skin_render(const std::vector<std::string>& args);
int run_moon(const std::vector<std::string>& args);
int run_metar(const std::vector<std::string>& args);
int run_after(const std::vector<std::string>& args);

}  // namespace cirrodex::inspect
