// The program's side of skins: the OTHER section with every status text and
// pause, the menu sounds, and the load commands with their fallbacks.
#include "skins/skin_setup.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;

struct FakeTarget final : SkinExtrasTarget {
  explicit FakeTarget(fakes::CallLog& l) : log(l) {}
  fakes::CallLog& log;
  void place_online_indicator(int x, int y) override { log.add("indicator " + pos(x, y)); }
  void place_moon_picture(int x, int y) override { log.add("moon " + pos(x, y)); }
  void set_menu_colour(MenuColourRole role, ColourValue c) override {
    log.add("menu colour " + std::to_string(static_cast<int>(role)) + "=" + colour_to_text(c));
  }
  void set_menu_sounds(const std::string& popup, const std::string& command) override {
    log.add("sounds " + popup + " " + command);
  }
  void repaint_skin() override { log.add("repaint skin"); }
  static std::string pos(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
};

struct FakeComponent final : SkinComponent {
  explicit FakeComponent(fakes::CallLog& l) : log(l) {}
  fakes::CallLog& log;
  std::string file_error;
  std::function<void()> on_changed;
  std::string load_skin_file(const std::string& path) override {
    log.add("load file " + path);
    if (file_error.empty() && on_changed) on_changed();
    return file_error;
  }
  std::string load_default_skin() override {
    log.add("load default");
    return {};
  }
  void set_key_colour(ColourValue c) override { log.add("key " + colour_to_text(c)); }
  void show_main_window() override { log.add("show window"); }
};

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
  FakeTarget target{log};
  FakeComponent component{log};
  SkinSetup setup{settings, host, target, component, "/usr/share/cirrodex"};
  std::string dir = ::testing::TempDir();

  Rig() {
    // The skinned window reports a loaded file, which applies the built-in extras first.
    component.on_changed = [this] { setup.apply_skin_extras(std::nullopt); };
  }
  std::string write_skin(const std::string& name, const std::string& other) {
    const std::string path = dir + name;
    std::ofstream(path) << "[OTHER]\n" << other;
    return path;
  }
  Calls without(const std::string& prefix) const {
    Calls out;
    for (const auto& e : log.entries)
      if (e.rfind(prefix, 0) != 0) out.push_back(e);
    return out;
  }
};

TEST(SkinExtras, BuiltInSkin) {
  Rig rig;
  rig.setup.apply_skin_extras(std::nullopt);
  EXPECT_EQ(rig.log.entries,
            (Calls{"repaint", "indicator 321,27", "moon 240,248", "menu colour 0=clSilver", "menu colour 1=clBlack",
                   "menu colour 2=clHighlight", "menu colour 3=clHighlightText", "repaint skin"}));
}

TEST(SkinExtras, MissingAndBadValues) {
  Rig rig;
  const std::string path = rig.write_skin("extras_bad.ini",
                                          "Online_Indicator_locy=5\nmoonimage_locy=7\n"
                                          "menucolor=$00112233\nmenuTextcolor=notacolour\nmenuHighlightcolor=clRed\n");
  rig.setup.apply_skin_extras(path);
  EXPECT_EQ(rig.log.entries,
            (Calls{"repaint", "indicator 321,27", "status: Online_Indicator location defaulted...", "pause: 900",
                   "beep", "status: Warning: skin moonimage_locx=n/a", "pause: 2900", "menu colour 0=$00112233", "beep",
                   "status: Error setting menu colors...", "pause: 2500", "repaint skin"}));

  Rig nan;
  const std::string p2 = nan.write_skin("extras_nan.ini",
                                        "Online_Indicator_locx=ten\nOnline_Indicator_locy=5\n"
                                        "moonimage_locx=1\nmoonimage_locy=x\n");
  nan.setup.apply_skin_extras(p2);
  EXPECT_EQ(nan.log.entries,
            (Calls{"repaint", "beep", "status: Error processing your Online_Indicator location.", "pause: 3000", "beep",
                   "status: Error processing your moon image location.", "pause: 3000", "repaint skin"}));
}

TEST(SkinExtras, UnreadableFileReportsEveryStep) {
  Rig rig;
  rig.setup.apply_skin_extras(rig.dir + "no/such/skin.ini");
  EXPECT_EQ(rig.log.entries, (Calls{"beep", "status: Error loading skin file (#EL1).", "pause: 2000", "repaint", "beep",
                                    "status: Error reading skin Online_Indicator locations.", "pause: 2900",
                                    "indicator 321,27", "status: Online_Indicator location defaulted...", "pause: 900",
                                    "beep", "status: Error reading skin moonimage locations.", "pause: 2900", "beep",
                                    "status: Error setting menu colors...", "pause: 2500", "repaint skin"}));
}

TEST(SkinExtras, MenuSoundsOnlyWithSoundEffects) {
  Rig rig;
  const std::string path = rig.write_skin("sounds/skin.ini", "");
  rig.setup.set_menu_sounds(path);
  EXPECT_TRUE(rig.log.with_prefix("sounds").empty());
  rig.settings.set("playsounds", "y");
  rig.setup.set_menu_sounds(path);
  rig.setup.set_menu_sounds(std::nullopt);
  EXPECT_EQ(
      rig.log.with_prefix("sounds"),
      (Calls{"sounds " + rig.dir + "sounds/mnupopup.wav " + rig.dir + "sounds/mnucmd.wav",
             "sounds /usr/share/cirrodex/skins/default/mnupopup.wav /usr/share/cirrodex/skins/default/mnucmd.wav"}));
}

TEST(SkinCommands, StartUp) {
  Rig fresh;
  fresh.setup.start_up();
  EXPECT_EQ(fresh.log.entries.front(), "load default");

  Rig chosen;
  const std::string path = chosen.write_skin("chosen.ini", "moonimage_locx=1\nmoonimage_locy=2\n");
  chosen.settings.set("SkinFile", path);
  chosen.setup.start_up();
  // The change report applies the built-in extras, then the skin's own.
  EXPECT_EQ(chosen.without("status").front(), "load file " + path);
  EXPECT_EQ(chosen.log.with_prefix("moon"), (Calls{"moon 240,248", "moon 1,2"}));

  Rig broken;
  broken.settings.set("SkinFile", "/gone/skin.ini");
  broken.component.file_error = "cannot read /gone/skin.ini";
  broken.setup.start_up();
  EXPECT_EQ(broken.log.with_prefix("load"), (Calls{"load file /gone/skin.ini", "load default"}));
  EXPECT_TRUE(broken.log.with_prefix("message").empty());  // silently
  EXPECT_EQ(broken.settings.get("SkinFile"), "/gone/skin.ini");
}

TEST(SkinCommands, LoadASkin) {
  Rig rig;
  const std::string path = rig.write_skin("picked.ini", "");
  rig.setup.load_skin(path);
  EXPECT_EQ(rig.log.entries.front(), "key clFuchsia");
  EXPECT_EQ(rig.settings.get("SkinFile"), path);
  // No moon position in the picked skin: the warning names n/a.
  EXPECT_EQ(rig.log.with_prefix("status: Warning"), (Calls{"status: Warning: skin moonimage_locx=n/a"}));

  Rig bad;
  bad.component.file_error = "no mask";
  bad.setup.load_skin("/x/skin.ini");
  EXPECT_EQ(bad.log.with_prefix("message"),
            (Calls{"message: Sorry, error loading skin file.  Cirrodex will load default skin."}));
  EXPECT_EQ(bad.log.with_prefix("load"), (Calls{"load file /x/skin.ini", "load default"}));
  EXPECT_EQ(bad.settings.get("SkinFile"), "default");
}

TEST(SkinCommands, RestoreWithDefaultSkin) {
  Rig rig;
  rig.setup.restore_with_default_skin();
  EXPECT_EQ(rig.settings.get("SkinFile"), "default");
  EXPECT_EQ(rig.log.entries.front(), "load default");
  EXPECT_EQ(rig.log.entries.back(), "show window");
}

TEST(SkinCommands, SkinFoldersThatExist) {
  const std::string base = ::testing::TempDir() + "skin-folders-" + std::to_string(::getpid());
  std::filesystem::create_directories(base + "/share/skins");
  EXPECT_EQ(skin_folders(base + "/share", base + "/data"), (Calls{base + "/share/skins"}));
  std::filesystem::create_directories(base + "/data/Skins");
  EXPECT_EQ(skin_folders(base + "/share", base + "/data"), (Calls{base + "/data/Skins", base + "/share/skins"}));
  std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace cirrodex
