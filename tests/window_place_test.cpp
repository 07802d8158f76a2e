// The main window's first position and the geometry its exit saves.
#include "app/core/window_place.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

TEST(WindowPlace, FirstShowPosition) {
  struct Case {
    const char* xpos;  // nullptr: absent
    const char* ypos;
    WindowPoint expected;
  };
  const WindowPoint created{7, 9};
  const Case cases[] = {
      {nullptr, nullptr, {1024 - 338, 768 - 368}},  // first run: bottom-right
      {nullptr, "5", {1024 - 338, 768 - 368}},      // decided by Xpos alone
      {"100", "200", {100, 200}},
      {"100", nullptr, {100, 9}},  // Xpos without Ypos: Top stays
      {"abc", "200", {7, 9}},      // the first bad value ends the placing
      {"-20", "x", {-20, 9}},
      {"", "3", {7, 9}},
  };
  for (const auto& c : cases) {
    fakes::CallLog log;
    fakes::MemorySettingsStore store;
    fakes::FakeHost host(log);
    Settings settings(store, host, KeyCheck::Strict);
    if (c.xpos) settings.set("Xpos", c.xpos);
    if (c.ypos) settings.set("Ypos", c.ypos);
    EXPECT_EQ(first_show_position(settings, created, 1024, 768, 338, 368), c.expected)
        << (c.xpos ? c.xpos : "-") << " " << (c.ypos ? c.ypos : "-");
  }
}

TEST(WindowPlace, ExitSavesGeometry) {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host(log);
  Settings settings(store, host, KeyCheck::Strict);
  save_window_geometry(settings, 686, 400, 338, 368);
  EXPECT_EQ(store.writes(), (std::vector<std::string>{"Settings\\Xpos=686", "Settings\\Ypos=400", "Settings\\width=338",
                                                      "Settings\\height=368"}));
}

}  // namespace
}  // namespace cirrodex
