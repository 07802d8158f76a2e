#pragma once
// "Run Skin Editor": the current skin's skin.ini opened in the skin editor
// the services file names, or in the desktop's text editor. The built-in
// skin is not a file, so a copy of it in the user's Skins folder is edited.

#include <string>

#include "platform/host.h"
#include "platform/settings.h"
#include "platform/shell.h"

namespace cirrodex {

struct SkinEditorPlaces {
  std::string editor_command;  // the services file's skin_editor; empty: the text editor
  std::string share_dir;       // holds skins/default, the pattern of the copy
  std::string data_dir;        // holds Skins/, the user's own skins
};

void run_skin_editor(Settings& settings, Host& host, Shell& shell, const SkinEditorPlaces& places);

}  // namespace cirrodex
