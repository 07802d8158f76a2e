#pragma once
// Reading a skin from a skin.ini file (pictures beside it) or from the
// program's built-in resources.

#include <functional>
#include <string>

#include "skins/skin.h"

namespace cirrodex {

SkinResult load_skin_from_file(const std::string& ini_path, const std::function<void()>& gif_warning);
SkinResult load_builtin_skin(const std::function<void()>& gif_warning);

}  // namespace cirrodex
