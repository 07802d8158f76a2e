#include "skins/skin_setup.h"

#include <sys/stat.h>

#include "platform/files.h"
#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

namespace {
constexpr int kIndicatorX = 321;
constexpr int kIndicatorY = 27;
}  // namespace

std::vector<std::string> skin_folders(const std::string& share_dir, const std::string& data_dir) {
  std::vector<std::string> folders;
  for (const std::string& f : {data_dir + "/Skins", share_dir + "/skins"}) {
    struct stat st {};
    if (::stat(f.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) folders.push_back(f);
  }
  return folders;
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void SkinSetup::fail(const char* status, int ms, bool beep) {
  if (beep) host_.beep();
  host_.show_status(status);
  host_.pause(ms);
}

std::optional<IniFile> SkinSetup::open(const std::optional<std::string>& path) {
  if (!path) {
    const auto text = builtin_resource("SKIN", "INI");
    if (!text) return std::nullopt;
    return IniFile::parse(*text);
  }
  const FileRead file = read_whole_file(*path);
  if (!file.bytes) return std::nullopt;
  return IniFile::parse(*file.bytes);
}

void SkinSetup::apply_skin_extras(const std::optional<std::string>& path) {
  const std::optional<IniFile> ini = open(path);
  if (ini && settings_.get("playsounds") == "y") set_menu_sounds(path);
  if (!ini) fail("Error loading skin file (#EL1).", 2000);
  host_.repaint();
  place_indicator(ini);
  place_moon(ini);
  apply_menu_colours(ini);
  target_.repaint_skin();
}

void SkinSetup::place_indicator(const std::optional<IniFile>& ini) {
  auto defaulted = [&] {
    target_.place_online_indicator(kIndicatorX, kIndicatorY);
    host_.show_status("Online_Indicator location defaulted...");
    host_.pause(900);
  };
  if (!ini) {
    fail("Error reading skin Online_Indicator locations.", 2900);
    return defaulted();
  }
  const std::string x = ini->read_string("OTHER", "Online_Indicator_locx", "n/a");
  if (x == "n/a") return defaulted();
  const auto left = text::to_integer(x);
  const auto top = text::to_integer(ini->read_string("OTHER", "Online_Indicator_locy", "n/a"));
  if (!left || !top) return fail("Error processing your Online_Indicator location.", 3000);
  target_.place_online_indicator(static_cast<int>(*left), static_cast<int>(*top));
}

void SkinSetup::place_moon(const std::optional<IniFile>& ini) {
  if (!ini) return fail("Error reading skin moonimage locations.", 2900);
  const std::string x = ini->read_string("OTHER", "moonimage_locx", "n/a");
  if (x == "n/a") {
    host_.beep();
    host_.show_status("Warning: skin moonimage_locx=" + x);
    host_.pause(2900);
    return;
  }
  const auto left = text::to_integer(x);
  const auto top = text::to_integer(ini->read_string("OTHER", "moonimage_locy", "n/a"));
  if (!left || !top) return fail("Error processing your moon image location.", 3000);
  target_.place_moon_picture(static_cast<int>(*left), static_cast<int>(*top));
}

void SkinSetup::apply_menu_colours(const std::optional<IniFile>& ini) {
  if (!ini) return fail("Error setting menu colors...", 2500);
  static constexpr std::pair<const char*, MenuColourRole> kKeys[] = {
      {"menucolor", MenuColourRole::Background},
      {"menuTextcolor", MenuColourRole::Text},
      {"menuHighlightcolor", MenuColourRole::Highlight},
      {"menuHighlightTextcolor", MenuColourRole::HighlightText},
  };
  for (const auto& [key, role] : kKeys) {
    const std::string value = ini->read_string("OTHER", key, "n/a");
    if (value == "n/a") continue;
    const auto colour = colour_from_text(value);
    if (!colour) return fail("Error setting menu colors...", 2500);
    target_.set_menu_colour(role, *colour);
  }
}

void SkinSetup::set_menu_sounds(const std::optional<std::string>& path) {
  if (settings_.get("playsounds") != "y") return;
  const std::string folder = path ? folder_of(*path) : share_dir_ + "/skins/default/";
  target_.set_menu_sounds(folder + "mnupopup.wav", folder + "mnucmd.wav");
}

void SkinSetup::start_up() {
  const std::string file = settings_.get("SkinFile");
  if (file != "default" && file != "n/a") {
    if (component_.load_skin_file(file).empty()) {
      apply_skin_extras(file);
      set_menu_sounds(file);
      return;
    }
  }
  component_.load_default_skin();
  apply_skin_extras(std::nullopt);
  set_menu_sounds(std::nullopt);
}

void SkinSetup::load_skin(const std::string& path) {
  component_.set_key_colour(kClFuchsia);
  if (component_.load_skin_file(path).empty()) {
    apply_skin_extras(path);
    settings_.set("SkinFile", path);
    return;
  }
  host_.beep();
  host_.message_box("Sorry, error loading skin file.  Cirrodex will load default skin.", MessageKind::Error,
                    MessageButtons::Ok);
  load_default_skin();
}

void SkinSetup::load_default_skin() {
  component_.load_default_skin();
  settings_.set("SkinFile", "default");
  apply_skin_extras(std::nullopt);
  set_menu_sounds(std::nullopt);
}

void SkinSetup::restore_with_default_skin() {
  load_default_skin();
  component_.show_main_window();
}

}  // namespace cirrodex
