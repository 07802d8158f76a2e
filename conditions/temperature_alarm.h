#pragma once
// The temperature alarm: after every reading the displayed temperature is
// compared with the user's threshold, and when it is above (or below) it a
// sound file plays or an e-mail goes out. It has no memory: it fires after
// every retrieval while the condition holds. The decision is a function of
// the temperature text and the settings alone, and the mail body of its
// inputs, so the inspect tool shows both without sending anything.

#include <string>
#include <string_view>
#include <vector>

#include "conditions/readings.h"
#include "platform/display.h"
#include "platform/host.h"
#include "platform/mail.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/sound.h"

namespace cirrodex {

struct AlarmDecision {
  enum class Kind {
    None,     // nothing happens (no condition, a setting missing, equality)
    Audible,  // play `file`
    Email,    // send the alarm mail with `temperature`
    Failure,  // beep, show `status` and pause `pause_ms`
  };
  Kind kind = Kind::None;
  std::string file;
  std::string temperature;  // the compared temperature A, as text
  std::string status;
  int pause_ms = 0;
};

// Up to three leading characters of the temperature text: three when the
// third is a digit, else two when the second is, else one; trimmed.
std::string alarm_temperature_text(std::string_view temperature);

// What the check does for this temperature text (Temperature of the
// readings) under the settings AlarmType, AlarmTemp, AlarmTempCompare and
// Aaudible.
AlarmDecision decide_temperature_alarm(std::string_view temperature, Settings& settings);

// The alarm mail's body, line by line (its blank lines hold one space).
std::vector<std::string> alarm_mail_body(std::string_view compare, std::string_view alarm_temp,
                                         std::string_view temperature, std::string_view caption,
                                         std::string_view home_page);

// The program's home page on the maker's web host.
std::string home_page_address(const Services& services);

struct AlarmPorts {
  Settings& settings;
  Host& host;
  Display& display;
  Sound& sound;
  Mail& mail;
  MailEvents& mail_events;
  const Services& services;
};

// The check as the retrieval cycle runs it (only when AlarmType is neither
// "none" nor missing); returns what it decided.
AlarmDecision check_temperature_alarm(const Readings& r, AlarmPorts& ports);

// Sends the alarm mail for the temperature A; a missing server, sender or
// recipient skips it silently after "Sending Alarm Message...".
void send_alarm_mail(const std::string& temperature, AlarmPorts& ports);

}  // namespace cirrodex
