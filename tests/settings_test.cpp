// The settings layer: missing values, flags, case-blind names, store
// failures on the status line, and "Clear ALL Settings".
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/settings_keys.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
};

TEST(Settings, MissingEmptyAndFlags) {
  Rig rig;
  EXPECT_EQ(rig.settings.read_setting("Settings", "StartupLoc"), "n/a");
  Settings lenient(rig.store, rig.host);
  EXPECT_EQ(lenient.read_setting("Nowhere", "Metric"), "n/a");  // a section that does not exist

  rig.settings.set("TaskBarHide", "");
  EXPECT_EQ(rig.settings.get("TaskBarHide"), "");  // present, and off
  EXPECT_FALSE(rig.settings.flag("TaskBarHide"));

  rig.settings.set("AutoUpdate", "n/a");  // a stored "n/a" is the same as none
  EXPECT_EQ(rig.settings.get("AutoUpdate"), "n/a");

  for (const char* value : {"Y", "yes", " y", "n", "", "n/a"}) {
    rig.settings.set("Metric", value);
    EXPECT_FALSE(rig.settings.flag("Metric")) << value;
  }
  rig.settings.set("Metric", "y");
  EXPECT_TRUE(rig.settings.flag("Metric"));
}

TEST(Settings, NamesAreCaseBlind) {
  Rig rig;
  rig.settings.write_setting("settings", "HIndexIcon", "y");
  EXPECT_EQ(rig.settings.read_setting("Settings", "Hindexicon"), "y");
  rig.settings.write_setting("Settings", "timeout", "60000");
  EXPECT_EQ(rig.settings.read_setting("SETTINGS", "Timeout"), "60000");
  EXPECT_TRUE(rig.log.entries.empty());
}

TEST(Settings, KeyTable) {
  EXPECT_TRUE(is_known_setting("Settings", "AUSEREMAIL"));
  EXPECT_TRUE(is_known_setting("Locations", "loc0"));
  EXPECT_TRUE(is_known_setting("Locations", "loc19"));
  EXPECT_TRUE(is_known_setting("Settings", "userrad10n"));
  EXPECT_TRUE(is_known_setting("Settings", "watchconn"));  // read only by the support message
  EXPECT_FALSE(is_known_setting("Locations", "loc20"));    // slots beyond 19 do not exist
  EXPECT_FALSE(is_known_setting("Locations", "loc01"));
  EXPECT_FALSE(is_known_setting("Settings", "usercam11"));
  EXPECT_FALSE(is_known_setting("Settings", "loc0"));
  EXPECT_FALSE(is_known_setting("Settings", "Metrc"));

  Rig rig;
  EXPECT_THROW(rig.settings.read_setting("Settings", "Metrc"), std::logic_error);
  EXPECT_THROW(rig.settings.write_setting("Settings", "Metrc", "y"), std::logic_error);
}

TEST(Settings, StoreTroubleGoesToTheStatusLine) {
  Rig rig;
  rig.store.set_notice("Settings file was damaged; it was moved aside.");
  EXPECT_EQ(rig.settings.get("Metric"), "n/a");
  EXPECT_EQ(rig.settings.get("Metric"), "n/a");  // the notice is shown once
  rig.store.set_fail_writes(true);
  rig.settings.set("Metric", "y");
  EXPECT_EQ(rig.log.entries, (Calls{"status: Settings file was damaged; it was moved aside.",
                                    "status: Settings not saved: the store refuses writes (test)."}));
}

TEST(ClearAllSettings, YesErasesEverySection) {
  Rig rig;
  rig.settings.set("StartupLoc", "Muscle_Shoals, AL");
  rig.settings.write_setting("Locations", "loc0", "Muscle_Shoals, AL");
  clear_all_settings(rig.settings, rig.host);
  EXPECT_EQ(rig.store.erased(), (Calls{"Settings", "Interface", "Locations"}));
  EXPECT_EQ(rig.settings.get("StartupLoc"), "n/a");
  EXPECT_EQ(rig.settings.read_setting("Locations", "loc0"), "n/a");
  EXPECT_EQ(rig.log.entries, (Calls{"message: Are you sure you want to DELETE ALL of your settings and preferences?\r\n"
                                    "There is no undoing this!",
                                    "beep", "message: Please close and restart Cirrodex."}));
}

TEST(ClearAllSettings, NoLeavesEverything) {
  Rig rig;
  rig.settings.set("StartupLoc", "Muscle_Shoals, AL");
  rig.host.queue_answer(MessageAnswer::No);
  clear_all_settings(rig.settings, rig.host);
  EXPECT_EQ(rig.host.last_kind(), MessageKind::Warning);
  EXPECT_EQ(rig.host.last_buttons(), MessageButtons::YesNo);
  EXPECT_TRUE(rig.store.erased().empty());
  EXPECT_EQ(rig.settings.get("StartupLoc"), "Muscle_Shoals, AL");
  EXPECT_EQ(rig.log.entries.size(), 1u);
}

}  // namespace
}  // namespace cirrodex
