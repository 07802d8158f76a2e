#pragma once
// The program's side of skins: the OTHER section (online indicator, moon
// picture, menu colours), the menu sounds, and the load commands.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/host.h"
#include "platform/settings.h"
#include "skins/ini_file.h"

namespace cirrodex {

enum class MenuColourRole { Background, Text, Highlight, HighlightText };

// What the skin's extras set on the main window.
class SkinExtrasTarget {
 public:
  virtual ~SkinExtrasTarget() = default;
  virtual void place_online_indicator(int x, int y) = 0;
  virtual void place_moon_picture(int x, int y) = 0;
  // Applies to every pop-up menu of the main window.
  virtual void set_menu_colour(MenuColourRole role, ColourValue colour) = 0;
  virtual void set_menu_sounds(const std::string& popup_wav, const std::string& command_wav) = 0;
  virtual void repaint_skin() = 0;
};

// The skinned window's loading operations.
class SkinComponent {
 public:
  virtual ~SkinComponent() = default;
  // Empty on success, else the reason. A successful file load reports the
  // change (which runs the extras of the built-in skin first).
  virtual std::string load_skin_file(const std::string& path) = 0;
  virtual std::string load_default_skin() = 0;
  virtual void set_key_colour(ColourValue colour) = 0;
  virtual void show_main_window() = 0;
};

class SkinSetup {
 public:
  // share_dir holds skins/default/ with the built-in skin's menu sounds.
  SkinSetup(Settings& settings, Host& host, SkinExtrasTarget& target, SkinComponent& component, std::string share_dir)
      : settings_(settings), host_(host), target_(target), component_(component), share_dir_(std::move(share_dir)) {}

  // path: the loaded skin.ini, or nothing for the built-in skin.
  void apply_skin_extras(const std::optional<std::string>& path);
  void set_menu_sounds(const std::optional<std::string>& path);

  // The skin of the SkinFile setting, falling back silently to the built-in one.
  void start_up();
  // After "&Load a Skin..." picked path.
  void load_skin(const std::string& path);
  // "Load &Default Skin".
  void load_default_skin();
  // "Restore Window with Default Skin".
  void restore_with_default_skin();

 private:
  std::optional<IniFile> open(const std::optional<std::string>& path);
  void fail(const char* status, int ms, bool beep = true);
  void place_indicator(const std::optional<IniFile>& ini);
  void place_moon(const std::optional<IniFile>& ini);
  void apply_menu_colours(const std::optional<IniFile>& ini);

  Settings& settings_;
  Host& host_;
  SkinExtrasTarget& target_;
  SkinComponent& component_;
  std::string share_dir_;
};

// Where "&Load a Skin..." looks, in order: the user's own Skins folder in the
// data folder, then the installed skins; only folders that exist.
std::vector<std::string> skin_folders(const std::string& share_dir, const std::string& data_dir);

// The folder of a path with its final "/" ("" when it has none).
std::string folder_of(const std::string& path);

}  // namespace cirrodex
