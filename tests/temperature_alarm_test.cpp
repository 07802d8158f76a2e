// The temperature alarm: its decisions for a table of temperatures and
// settings, what the check does with each (sound, mail, status texts), and
// the alarm mail's body.
#include "conditions/temperature_alarm.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_mail.h"
#include "platform/fakes/fake_sound.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;
using Kind = AlarmDecision::Kind;

const std::string kDeg(1, '\xB0');

struct AlarmRig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  fakes::FakeDisplay display{log};
  fakes::FakeSound sound{log};
  fakes::FakeMail mail{log};
  Settings settings{store, host, KeyCheck::Strict};
  MailStatusLine mail_events{host};
  Services services{"maker_web = http://maker.test\n"};
  AlarmPorts ports{settings, host, display, sound, mail, mail_events, services};

  AlarmRig() { display.set_caption("Cirrodex - Tuscaloosa, AL"); }
  void set(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [key, value] : values) settings.set(key, value);
  }
};

TEST(TemperatureAlarm, TheThreeCharacterRule) {
  struct Row {
    std::string temperature;
    const char* taken;
  };
  for (const Row& row :
       {Row{"72" + kDeg + "F", "72"}, Row{"100" + kDeg + "F", "100"}, Row{"7" + kDeg + "F", "7"},
        Row{"-5" + kDeg + "F", "-5"}, Row{"-15" + kDeg + "F", "-15"}, Row{"22" + kDeg + " C", "22"}, Row{" 72", "72"},
        Row{"n/a", "n"}, Row{"N/A" + kDeg + " F", "N"}, Row{"", ""}, Row{"1234", "123"}}) {
    EXPECT_EQ(alarm_temperature_text(row.temperature), row.taken) << row.temperature;
  }
}

TEST(TemperatureAlarm, Decisions) {
  struct Row {
    const char* name;
    std::string temperature;
    std::vector<std::pair<const char*, const char*>> settings;
    Kind kind;
    std::string detail;  // the file, the temperature A or the status text
    int pause_ms;
  };
  const std::vector<std::pair<const char*, const char*>> exceeds70 = {
      {"AlarmType", "email"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}};
  const Row rows[] = {
      {"72 exceeds 70", "72" + kDeg + "F", exceeds70, Kind::Email, "72", 0},
      {"equality never fires",
       "72" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "72"}, {"AlarmTempCompare", "exceeds"}},
       Kind::None,
       "",
       0},
      {"72 falls below 75",
       "72" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "75"}, {"AlarmTempCompare", "falls below"}},
       Kind::Email,
       "72",
       0},
      {"equality falling",
       "75" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "75"}, {"AlarmTempCompare", "falls below"}},
       Kind::None,
       "",
       0},
      {"any other direction means falls below",
       "72" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "75"}, {"AlarmTempCompare", "below"}},
       Kind::Email,
       "72",
       0},
      {"no direction never holds", "72" + kDeg + "F", {{"AlarmType", "email"}, {"AlarmTemp", "75"}}, Kind::None, "", 0},
      {"three digits", "100" + kDeg + "F", exceeds70, Kind::Email, "100", 0},
      {"one digit",
       "7" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "10"}, {"AlarmTempCompare", "falls below"}},
       Kind::Email,
       "7",
       0},
      {"negative, whatever the settings",
       "-5" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "10"}, {"AlarmTempCompare", "falls below"}},
       Kind::Failure,
       "Negative value:Temp. conversion-alarm logic...",
       1500},
      {"negative without a threshold",
       "-5" + kDeg + "F",
       {{"AlarmType", "email"}},
       Kind::Failure,
       "Negative value:Temp. conversion-alarm logic...",
       1500},
      {"n/a", "n/a", exceeds70, Kind::Failure, "Error: Temp. conversion-alarm logic...", 1500},
      {"empty temperature", "", exceeds70, Kind::None, "", 0},
      {"threshold missing",
       "72" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTempCompare", "exceeds"}},
       Kind::None,
       "",
       0},
      {"threshold not a number",
       "72" + kDeg + "F",
       {{"AlarmType", "email"}, {"AlarmTemp", "7O"}, {"AlarmTempCompare", "exceeds"}},
       Kind::Failure,
       "Error in Alarm Check logic...(E2)...Possible invalid Alarm Temperature Setting.",
       1800},
      {"metric: 22 against the threshold as typed",
       "22" + kDeg + " C",
       {{"Metric", "y"}, {"AlarmType", "email"}, {"AlarmTemp", "20"}, {"AlarmTempCompare", "exceeds"}},
       Kind::Email,
       "22",
       0},
      {"audible",
       "72" + kDeg + "F",
       {{"AlarmType", "audible"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}, {"Aaudible", "/snd/a.wav"}},
       Kind::Audible,
       "/snd/a.wav",
       0},
      {"audible without a file plays nothing",
       "72" + kDeg + "F",
       {{"AlarmType", "audible"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}},
       Kind::None,
       "",
       0},
      {"unknown type",
       "72" + kDeg + "F",
       {{"AlarmType", "Audible"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}},
       Kind::Failure,
       "Error - invalid AlarmType:Audible",
       2000},
      {"unknown type is not reached while the condition does not hold",
       "60" + kDeg + "F",
       {{"AlarmType", "loud"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}},
       Kind::None,
       "",
       0},
  };
  for (const Row& row : rows) {
    AlarmRig rig;
    for (const auto& [key, value] : row.settings) rig.settings.set(key, value);
    const AlarmDecision d = decide_temperature_alarm(row.temperature, rig.settings);
    EXPECT_EQ(d.kind, row.kind) << row.name;
    const std::string detail = d.kind == Kind::Audible   ? d.file
                               : d.kind == Kind::Email   ? d.temperature
                               : d.kind == Kind::Failure ? d.status
                                                         : "";
    EXPECT_EQ(detail, row.detail) << row.name;
    EXPECT_EQ(d.pause_ms, row.pause_ms) << row.name;
    EXPECT_TRUE(rig.log.entries.empty()) << row.name << ": deciding shows nothing";
  }
}

TEST(TemperatureAlarm, TheMailBodyLineByLine) {
  const std::vector<std::string> body = alarm_mail_body("exceeds", "70", "72", "Cirrodex - Tuscaloosa, AL",
                                                        "http://maker.test/html/software/Cirrodex.html");
  EXPECT_EQ(body, (Calls{
                      "Cirrodex Alarm!",
                      "You are receiving this because a Cirrodex Alarm was set-up to ",
                      "notify you when the Temperature exceeds 70 degrees.",
                      "The current temperature is 72 degrees.",
                      "Current location of Cirrodex - Tuscaloosa, AL.",
                      " ",
                      " ",
                      " ",
                      "This e-mail was sent from Cirrodex - striving to be the best for desktop weather information!",
                      "Cirrodex can be found on the web at http://maker.test/html/software/Cirrodex.html ",
                      " ",
                  }));
  Services services("maker_web = http://www.example.org/\n");
  EXPECT_EQ(home_page_address(services), "http://www.example.org/html/software/Cirrodex.html");
}

TEST(TemperatureAlarm, TheAudibleAlarmPlaysTheFileOrSaysItCannot) {
  AlarmRig rig;
  rig.set({{"AlarmType", "audible"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}, {"Aaudible", "/a.wav"}});
  Readings r;
  r.Temperature = "72" + kDeg + "F";
  EXPECT_EQ(check_temperature_alarm(r, rig.ports).kind, Kind::Audible);
  EXPECT_EQ(rig.log.entries, Calls{"sound: /a.wav"});

  rig.log.clear();
  rig.sound.set_starts(false);
  check_temperature_alarm(r, rig.ports);
  EXPECT_EQ(rig.log.entries,
            (Calls{"sound: /a.wav", "beep", "status: Error playing your Alarm wav file!", "pause: 2000"}));
}

TEST(TemperatureAlarm, AFailedCheckBeepsAndPauses) {
  AlarmRig rig;
  rig.set({{"AlarmType", "email"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}});
  Readings r;
  r.Temperature = "-5" + kDeg + "F";
  check_temperature_alarm(r, rig.ports);
  EXPECT_EQ(rig.log.entries, (Calls{"beep", "status: Negative value:Temp. conversion-alarm logic...", "pause: 1500"}));
}

TEST(TemperatureAlarm, TheMailGoesOutWithItsFields) {
  AlarmRig rig;
  rig.set({{"AlarmType", "email"},
           {"AlarmTemp", "70"},
           {"AlarmTempCompare", "exceeds"},
           {"Ahost", "mail.example.org"},
           {"AUserEmail", "me@example.org"},
           {"AsendtoE", "you@example.org"}});
  Readings r;
  r.Temperature = "72" + kDeg + "F";
  EXPECT_EQ(check_temperature_alarm(r, rig.ports).kind, Kind::Email);
  EXPECT_EQ(rig.log.entries, (Calls{
                                 "slot TEXT_STATUSBAR=Sending Alarm Message...",
                                 "mail connect: mail.example.org",
                                 "status: Connected...",
                                 "mail send: me@example.org -> you@example.org",
                                 "status: Send started...",
                                 "status: E-mail successfull.",
                                 "pause: 20",
                                 "mail disconnect",
                                 "status: Disconnected...",
                                 "pause: 10",
                                 "slot TEXT_STATUSBAR=Alarm Message sent!",
                                 "pause: 1000",
                             }));
  ASSERT_TRUE(rig.mail.sent());
  const MailMessage& m = *rig.mail.sent();
  EXPECT_EQ(m.reply_to, "me@example.org");
  EXPECT_EQ(m.from_name, "Cirrodex");
  EXPECT_EQ(m.subject, "Cirrodex Alarm");
  EXPECT_EQ(m.mailer, "Cirrodex");
  EXPECT_EQ(m.body, alarm_mail_body("exceeds", "70", "72", "Cirrodex - Tuscaloosa, AL",
                                    "http://maker.test/html/software/Cirrodex.html"));
}

TEST(TemperatureAlarm, MissingAddressesSkipTheMailSilently) {
  for (const char* missing : {"Ahost", "AUserEmail", "AsendtoE"}) {
    AlarmRig rig;
    rig.set({{"AlarmType", "email"}, {"AlarmTemp", "70"}, {"AlarmTempCompare", "exceeds"}});
    for (const char* key : {"Ahost", "AUserEmail", "AsendtoE"})
      if (std::string(key) != missing) rig.settings.set(key, "x@example.org");
    Readings r;
    r.Temperature = "72" + kDeg + "F";
    check_temperature_alarm(r, rig.ports);
    EXPECT_EQ(rig.log.entries, Calls{"slot TEXT_STATUSBAR=Sending Alarm Message..."}) << missing;
  }
}

TEST(TemperatureAlarm, AFailedCallEndsInTheAlarmsErrorText) {
  struct Row {
    fakes::FakeMail::Step step;
    MailEvent event;
    const char* shown;
  };
  for (const Row& row :
       {Row{fakes::FakeMail::Step::Connect, MailEvent::ConnectionFailed, "Error - Connection failed."},
        Row{fakes::FakeMail::Step::Send, MailEvent::RecipientNotFound, "Error - e-mail recipient not found."},
        Row{fakes::FakeMail::Step::Disconnect, MailEvent::Failure, "Error - e-mail failed."}}) {
    AlarmRig rig;
    rig.set({{"AlarmType", "email"},
             {"AlarmTemp", "70"},
             {"AlarmTempCompare", "exceeds"},
             {"Ahost", "mail.example.org"},
             {"AUserEmail", "me@example.org"},
             {"AsendtoE", "you@example.org"}});
    rig.mail.fail_at(row.step, row.event);
    Readings r;
    r.Temperature = "72" + kDeg + "F";
    check_temperature_alarm(r, rig.ports);
    const Calls tail = {std::string("status: ") + row.shown, "pause: 1200", "beep",
                        "slot TEXT_STATUSBAR=Error sending e-mail message (Alarm).", "pause: 2000"};
    ASSERT_GE(rig.log.entries.size(), tail.size());
    EXPECT_EQ(Calls(rig.log.entries.end() - static_cast<std::ptrdiff_t>(tail.size()), rig.log.entries.end()), tail)
        << row.shown;
  }
}

}  // namespace
}  // namespace cirrodex
