#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace cirrodex {

namespace {

std::string without_trailing_slashes(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

std::string home_dir() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return without_trailing_slashes(home);
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? without_trailing_slashes(entry->pw_dir) : std::string();
}

// The variable when it holds an absolute path; a relative or empty one is
// ignored, as the XDG base-directory rules say.
std::string base_dir(const char* variable, const char* under_home) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return without_trailing_slashes(value);
  return home_dir() + under_home;
}

}  // namespace

std::string config_dir() { return base_dir("XDG_CONFIG_HOME", "/.config") + "/cirrodex"; }

std::string data_dir() { return base_dir("XDG_DATA_HOME", "/.local/share") + "/cirrodex"; }

std::string cache_dir() { return base_dir("XDG_CACHE_HOME", "/.cache") + "/cirrodex"; }

std::string runtime_dir() {
  const char* value = std::getenv("XDG_RUNTIME_DIR");
  return value != nullptr && value[0] == '/' ? without_trailing_slashes(value) : std::string();
}

std::string settings_file_path() { return config_dir() + "/settings.ini"; }

bool make_dirs(const std::string& path) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

}  // namespace cirrodex
