// The whole program on fakes alone: no settings file, no network, no sound
// server, no notification area, no desktop. What a user does reaches only
// the ports the test gave it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "app/program.h"
#include "conditions/stats_log.h"
#include "platform/fakes/fake_append_file.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_date_format.h"
#include "platform/fakes/fake_dialup.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_http.h"
#include "platform/fakes/fake_mail.h"
#include "platform/fakes/fake_shell.h"
#include "platform/fakes/fake_sound.h"
#include "platform/fakes/fake_taskbar.h"
#include "platform/fakes/fake_tray.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "resources/builtin.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

struct FakePorts {
  fakes::CallLog log;
  fakes::MemorySettingsStore settings, moon_place;
  LoadedServices services{Services(*builtin_resource("SERVICES", "CONF")), {}};
  fakes::FakeHost host{log};
  fakes::FakeClock clock;
  fakes::FakeHttpTransfer ipw{log}, cast{log}, ick{log};
  fakes::FakeSound sound{log};
  fakes::FakeShell shell{log};
  fakes::FakeTray tray{log};
  fakes::FakeDialUp dialup{log};
  fakes::FakeOnlineDetector online;
  fakes::FakeTaskbarChannel taskbar{log};
  fakes::FakeAppendFile files{log};
  fakes::FakeDateFormat date_format;
  fakes::FakeMail mail{log};

  FakePorts() {
    services.services.override_with(
        "conditions = http://wx.test\nusage_counter = http://maker.test\nmaker_files = http://files.test\n"
        "maker_web = http://web.test\n",
        "test");
    clock.set(fakes::local_time(2026, 12, 11, 14, 30));
    sound.name_sound("sMax", *builtin_resource("SMAX", "WAVE"));
  }
  ProgramPorts ports() {
    ProgramPorts p;
    p.settings = &settings;
    p.moon_place = &moon_place;
    p.services = &services;
    p.host = &host;
    p.clock = &clock;
    p.ipwHTTP1 = &ipw;
    p.ipwHTTP4cast = &cast;
    p.ickHTTP1 = &ick;
    p.sound = &sound;
    p.shell = &shell;
    p.tray = &tray;
    p.dialup = &dialup;
    p.online = &online;
    p.taskbar = &taskbar;
    p.files = &files;
    p.date_format = &date_format;
    p.mail = &mail;
    return p;
  }
  bool logged(const std::string& entry) const {
    return std::find(log.entries.begin(), log.entries.end(), entry) != log.entries.end();
  }
};

class ProgramOnFakes : public ::testing::Test {
 protected:
  void SetUp() override {
    // Folders nobody may write to: the fakes stand for every file the program keeps.
    root_ = fs::path(::testing::TempDir()) / ("fakes-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(ProgramOnFakes, APresetIsFetchedShownAndSummarisedThroughThePorts) {
  FakePorts f;
  f.settings.write("Locations", "loc0", "Tuscaloosa, AL");
  f.settings.write("Settings", "playsounds", "y");
  const FileRead page = read_whole_file(std::string(CIRRODEX_TEST_DATA) + "/conditions_page.html");
  ASSERT_TRUE(page.bytes);
  f.ipw.script_body("http://maker.test/assets/CirrodexCount.txt", "1");
  f.ipw.script_body("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", *page.bytes);

  Program program(CIRRODEX_SHARE_DIR, f.ports());
  program.start();
  EXPECT_TRUE(f.logged("status: Welcome to Cirrodex. Press F1 for help."));
  EXPECT_TRUE(f.logged("sound: sMax")) << "the start's sound goes to the sound port";
  ASSERT_NE(f.tray.icon(0), nullptr);
  EXPECT_EQ(f.tray.icon(0)->tip, "Cirrodex");

  QAction* preset = program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"});
  ASSERT_NE(preset, nullptr);
  preset->trigger();

  EXPECT_TRUE(f.logged("get: http://maker.test/assets/CirrodexCount.txt"));
  EXPECT_TRUE(f.logged("get: http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html"));
  EXPECT_EQ(program.main_window().caption(), "Cirrodex - Tuscaloosa, AL");
  EXPECT_EQ(f.tray.icon(0)->tip,
            "Partly Cloudy && 72\xB0"
            "F");
  EXPECT_TRUE(
      f.logged("taskbar: Cirrodex - Tuscaloosa, AL - Partly Cloudy - 72\xB0"
               "F / Humidity: 45% - Wind: From the South @ 10mph"));
  EXPECT_EQ(f.host.status(), "Thank you for using Cirrodex...");
  EXPECT_GT(f.host.paused_ms(), 0) << "pauses go to the host port and take no time";

  program.main_window().move(40, 30);
  program.main_window().close();
  EXPECT_EQ(f.settings.read("Settings", "Xpos"), "40");
  EXPECT_EQ(f.tray.icon(0), nullptr) << "the icon leaves the notification area at exit";
  EXPECT_FALSE(fs::exists(root_)) << "nothing was written outside the ports";
}

std::string status_slot(Program& program) {
  for (const DisplaySlot& slot : program.main_window().SkinForm1->skin()->displays)
    if (slot.id == "TEXT_STATUSBAR") return slot.text;
  return "<none>";
}

// Whether the entries appear in the log in this order (others may come between).
bool in_order(const fakes::CallLog& log, const std::vector<std::string>& wanted) {
  std::size_t at = 0;
  for (const std::string& e : log.entries)
    if (at < wanted.size() && e == wanted[at]) ++at;
  return at == wanted.size();
}

TEST_F(ProgramOnFakes, AReadingIsLoggedThenRaisesTheAlarmBeforeTheSummary) {
  FakePorts f;
  f.settings.write("Locations", "loc0", "Tuscaloosa, AL");
  for (const auto& [key, value] : {std::pair{"writelog", "y"},
                                   {"AlarmType", "email"},
                                   {"AlarmTemp", "70"},
                                   {"AlarmTempCompare", "exceeds"},
                                   {"Ahost", "relay.test:2525"},
                                   {"AUserEmail", "me@example.org"},
                                   {"AsendtoE", "you@example.org"}})
    f.settings.write("Settings", key, value);
  const FileRead page = read_whole_file(std::string(CIRRODEX_TEST_DATA) + "/conditions_page.html");
  ASSERT_TRUE(page.bytes);
  f.ipw.script_body("http://maker.test/assets/CirrodexCount.txt", "1");
  f.ipw.script_body("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", *page.bytes);

  Program program(CIRRODEX_SHARE_DIR, f.ports());
  program.start();
  program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"})->trigger();

  const std::string stamp = "12/11/2026 2:30:00 PM";
  const std::string record = "Tuscaloosa, AL," + stamp +
                             ",Partly Cloudy,72\xB0"
                             "F,45%,30.12 in,From the South @ 10mph,10 miles,50\xB0"
                             "F,70\xB0"
                             "F,75\xB0"
                             "F\r\n";
  EXPECT_EQ(f.files.content("Cirrodex.log"),
            "Cirrodex Log File - created: " + stamp + "\r\n" + std::string(kLogHeader) + "\r\n" + record);
  EXPECT_TRUE(in_order(f.log, {"status: Writing data to log file...",
                               "append: Cirrodex.log (" + std::to_string(record.size()) + " bytes)",
                               "status: Log file updated...", "pause: 500", "status: Processing moon phase image...",
                               "status: Thank you for using Cirrodex...", "mail connect: relay.test:2525",
                               "mail send: me@example.org -> you@example.org", "mail disconnect", "pause: 1000",
                               "taskbar: Cirrodex - Tuscaloosa, AL - Partly Cloudy - 72\xB0"
                               "F / Humidity: 45% - Wind: From the South @ 10mph"}))
      << ::testing::PrintToString(f.log.entries);
  // The alarm's texts go straight to the window's status slot.
  EXPECT_EQ(status_slot(program), "Alarm Message sent!");
  ASSERT_TRUE(f.mail.sent());
  EXPECT_EQ(f.mail.sent()->body.at(4), "Current location of Cirrodex - Tuscaloosa, AL.");
  EXPECT_EQ(f.mail.sent()->body.at(9),
            "Cirrodex can be found on the web at http://web.test/html/software/Cirrodex.html ");

  // Without writelog and with the alarm off, neither step runs.
  f.log.clear();
  f.settings.write("Settings", "writelog", "n");
  f.settings.write("Settings", "AlarmType", "none");
  program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"})->trigger();
  EXPECT_EQ(f.log.with_prefix("append"), std::vector<std::string>{});
  EXPECT_EQ(f.log.with_prefix("mail"), std::vector<std::string>{});
  EXPECT_FALSE(f.logged("status: Writing data to log file..."));
  program.main_window().close();
  EXPECT_TRUE(f.logged("mail abort")) << "the exit ends a mail that still waits for its server";
}

TEST_F(ProgramOnFakes, ViewLogFileAndCheckForUpdateThroughThePorts) {
  FakePorts f;
  f.ipw.script_body("http://files.test/assets/cirrodexvs.txt", "Cirrodex\r\nVersion#2.10.0\r\n");
  Program program(CIRRODEX_SHARE_DIR, f.ports());
  program.start();

  f.log.clear();
  program.actions().run_command(cmd::ViewLogFile);
  EXPECT_EQ(f.log.with_prefix("message: "),
            std::vector<std::string>{"message: Error - Cirrodex.log file does not exist. To use this feature, you "
                                     "must have the Log option on.  See the General Preferences under Options."});
  f.files.put("Cirrodex.log", "x");
  program.actions().run_command(cmd::ViewLogFile);
  EXPECT_TRUE(f.logged("open: " + (fs::current_path() / "Cirrodex.log").string()));

  f.log.clear();
  program.actions().run_command(cmd::CheckUpdate);
  EXPECT_TRUE(in_order(f.log, {"get: http://files.test/assets/cirrodexvs.txt", "status: Sending request...",
                               "status: Transfer complete...",
                               "message: You are using an older version (2.05.0). The latest version is 2.10.0.",
                               "status: Thank you for using Cirrodex..."}))
      << ::testing::PrintToString(f.log.entries);
  EXPECT_EQ(f.ipw.requests().back().referer, "Cirrodex_by_Velmoraworks");
  // The version text does not linger for the next conditions document.
  EXPECT_EQ(program.retrieval().received_page(), "");

  f.log.clear();
  f.ipw.script_error("http://files.test/assets/cirrodexvs.txt", 7, "Couldn't connect to server");
  program.actions().run_command(cmd::CheckUpdate);
  EXPECT_EQ(f.log.with_prefix("message: "),
            std::vector<std::string>{"message: Error retrieving version #.  Please try again later."});
  program.main_window().close();
}

TEST_F(ProgramOnFakes, ExitInTheMiddleOfADownloadEndsQuietlyOnBothPaths) {
  for (const char* auto_proxy : {"", "y"}) {
    FakePorts f;
    f.settings.write("Locations", "loc0", "Tuscaloosa, AL");
    f.settings.write("Settings", "AutoProxy", auto_proxy);
    const FileRead page = read_whole_file(std::string(CIRRODEX_TEST_DATA) + "/conditions_page.html");
    ASSERT_TRUE(page.bytes);
    f.ipw.script_body("http://maker.test/assets/CirrodexCount.txt", "1");
    fakes::FakeHttpTransfer& path = *auto_proxy ? f.ick : f.ipw;
    path.script_body("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", *page.bytes, 4);

    Program program(CIRRODEX_SHARE_DIR, f.ports());
    program.start();
    program.main_window().move(40, 30);
    path.after_piece = [&](std::size_t piece) {
      // The user closes the window while the download's event loop runs.
      if (piece == 1) program.actions().run_command(cmd::Exit);
    };
    program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"})->trigger();

    EXPECT_EQ(f.log.with_prefix("message: "), std::vector<std::string>{}) << "path " << auto_proxy;
    EXPECT_EQ(program.main_window().caption(), "Cirrodex") << "the page was not parsed after the exit";
    EXPECT_EQ(f.settings.read("Settings", "Xpos"), "40");
    EXPECT_EQ(f.settings.read("Settings", "Ypos"), "30");
    EXPECT_EQ(f.tray.icon(0), nullptr);
    EXPECT_FALSE(program.refresh_timer().isActive());
    EXPECT_FALSE(program.retrieval().running());
  }
}

TEST_F(ProgramOnFakes, AReadingDrawsTheTemperatureIconsAndSpeaksTheTemperature) {
  FakePorts f;
  f.settings.write("Locations", "loc0", "Tuscaloosa, AL");
  f.settings.write("Settings", "TempIcon", "b");
  f.settings.write("Settings", "HindexIcon", "y");
  f.settings.write("Settings", "WindcIcon", "y");
  f.settings.write("Settings", "soundtemp", "y");
  for (const char* word : {"TEMPIS", "SEVENTY", "S2", "DEGREES"})
    f.sound.name_sound(word, *builtin_resource(word, "WAVE"));
  const FileRead page = read_whole_file(std::string(CIRRODEX_TEST_DATA) + "/conditions_page.html");
  ASSERT_TRUE(page.bytes);
  f.ipw.script_body("http://maker.test/assets/CirrodexCount.txt", "1");
  f.ipw.script_body("http://wx.test/auto/Cirrodex/AL/Tuscaloosa.html", *page.bytes);

  Program program(CIRRODEX_SHARE_DIR, f.ports());
  program.start();
  const TrayPicture program_picture = f.tray.icon(0)->picture;
  f.log.clear();
  program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"})->trigger();

  // Four icons: the main one with its condition picture, and the numbers.
  for (int id : {0, 1, 2, 3}) ASSERT_NE(f.tray.icon(id), nullptr) << id;
  EXPECT_EQ(f.tray.icon(0)->picture.width, 16);
  EXPECT_EQ(f.tray.icon(1)->tip, "Cirrodex - Tuscaloosa, AL");
  EXPECT_EQ(f.tray.icon(2)->tip, "Cirrodex - Tuscaloosa, AL- Heat Index");
  EXPECT_EQ(f.tray.icon(3)->tip, "Cirrodex - Tuscaloosa, AL- Windchill");
  for (int id : {1, 2, 3}) {
    const TrayPicture& p = f.tray.icon(id)->picture;
    EXPECT_EQ(p.width, 32) << id;
    EXPECT_NE(p, program_picture) << id;
    EXPECT_TRUE(std::all_of(p.argb.begin(), p.argb.end(), [](std::uint32_t px) { return (px >> 24) == 0xFF; }))
        << id << " is opaque";
  }
  EXPECT_EQ(f.tray.icon(1)->picture.argb[0], 0xFF0000FFu) << "blue by default";
  EXPECT_EQ(f.tray.icon(2)->picture.argb[0], 0xFF800000u) << "maroon by default";
  EXPECT_EQ(f.tray.icon(3)->picture.argb[0], 0xFF000080u) << "navy by default";
  // The right menu of an extra icon is the main icon's.
  EXPECT_TRUE(f.tray.press(2, TrayButton::Right));

  // The words after the icons, before the summary.
  EXPECT_EQ(f.log.with_prefix("sound: "),
            (std::vector<std::string>{"sound: TEMPIS", "sound: SEVENTY", "sound: S2", "sound: DEGREES"}));
  const auto at = [&](const std::string& entry) {
    return std::find(f.log.entries.begin(), f.log.entries.end(), entry) - f.log.entries.begin();
  };
  const std::vector<std::string> summaries = f.log.with_prefix("taskbar: ");
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_LT(at("tray add 3 tip=Cirrodex"), at("sound: TEMPIS"));
  EXPECT_LT(at("sound: DEGREES"), at(summaries.front()));

  // The Preferences turn the heat index off: its icon goes at once.
  f.settings.write("Settings", "HindexIcon", "");
  program.temperature_icons().remove_turned_off();
  EXPECT_EQ(f.tray.icon(2), nullptr);
  EXPECT_NE(f.tray.icon(3), nullptr);

  // With TempIcon "y" the next reading puts the temperature into the main icon.
  f.settings.write("Settings", "TempIcon", "y");
  program.main_window().menus().action(MenuName::GetStats, {"Tuscaloosa, AL"})->trigger();
  EXPECT_EQ(f.tray.icon(0)->picture, f.tray.icon(1)->picture) << "the same 72 on blue";

  program.main_window().close();
  for (int id : {0, 1, 2, 3}) EXPECT_EQ(f.tray.icon(id), nullptr) << id << " leaves at exit";
}

}  // namespace
}  // namespace cirrodex
