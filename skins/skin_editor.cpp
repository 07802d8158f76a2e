#include "skins/skin_editor.h"

#include <filesystem>
#include <vector>

#include "skins/skin_setup.h"

namespace cirrodex {

void run_skin_editor(Settings& settings, Host& host, Shell& shell, const SkinEditorPlaces& places) {
  namespace fs = std::filesystem;
  std::string ini = settings.get("SkinFile");
  std::error_code error;
  if (ini == "default" || ini == kMissing || !fs::is_regular_file(ini, error)) {
    const fs::path copy = fs::path(places.data_dir) / "Skins" / "My Skin";
    if (!fs::exists(copy / "skin.ini", error)) {
      fs::create_directories(copy, error);
      fs::copy(fs::path(places.share_dir) / "skins" / "default", copy, fs::copy_options::recursive, error);
    }
    ini = (copy / "skin.ini").string();
    if (error || !fs::is_regular_file(ini, error)) {
      host.beep();
      host.show_status("Could not make a copy of the built-in skin to edit in " + copy.string());
      return;
    }
    host.show_status("Editing a copy of the built-in skin: load it with Options > Skins > Load a Skin...");
  }
  const std::vector<std::string> words = split_command_line(places.editor_command);
  if (!words.empty()) {
    std::vector<std::string> args(words.begin() + 1, words.end());
    args.push_back(ini);
    if (shell.start_program(words.front(), args, folder_of(ini))) return;
    host.show_status("Could not start the skin editor " + words.front() + "; opening skin.ini instead.");
  }
  if (!shell.open_address(ini))
    host.message_box("No text editor could be started for " + ini, MessageKind::Warning, MessageButtons::Ok);
}

}  // namespace cirrodex
