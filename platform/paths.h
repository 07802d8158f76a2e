#pragma once
// Where the program keeps its files (XDG base directories).

#include <string>

namespace cirrodex {

// $XDG_CONFIG_HOME/cirrodex, or ~/.config/cirrodex (a relative
// XDG_CONFIG_HOME is ignored, as the base-directory rules say).
std::string config_dir();
// $XDG_DATA_HOME/cirrodex, or ~/.local/share/cirrodex.
std::string data_dir();
// $XDG_CACHE_HOME/cirrodex, or ~/.cache/cirrodex.
std::string cache_dir();
// $XDG_RUNTIME_DIR when it is an absolute path, else empty: there is no
// folder private to this login.
std::string runtime_dir();
// config_dir() + "/settings.ini".
std::string settings_file_path();

// Creates the folder and its parents (mode 0700 for the ones made here).
// False with errno set when it cannot.
bool make_dirs(const std::string& path);

}  // namespace cirrodex
