// cirrodex-inspect after: a file parsed, then what the retrieval cycle runs
// after a successful parse, in its order, with every port a recording fake:
// nothing is written, drawn, played or sent.
#include <cstdio>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/retrieval.h"
#include "app/core/temperature_icons.h"
#include "conditions/derive_readings.h"
#include "conditions/parse_stats.h"
#include "conditions/spoken_temperature.h"
#include "conditions/stats_log.h"
#include "conditions/temperature_alarm.h"
#include "conditions/temperature_icons.h"
#include "locations/location_string.h"
#include "locations/presets.h"
#include "platform/fakes/fake_append_file.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_mail.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/fake_sound.h"
#include "platform/fakes/fake_tray.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/files.h"
#include "platform/services.h"
#include "platform/text.h"
#include "resources/builtin.h"
#include "tools/inspect/commands.h"
#include "tools/inspect/parse_rig.h"

namespace cirrodex::inspect {

namespace {

constexpr std::string_view kStamp = "<STAMP>";
constexpr std::string_view kHomePage = "<HOMEPAGE>";

// "YYYY-MM-DD hh:mm:ss" as a clock reading; empty when it is not a real one.
std::optional<LocalDateTime> parse_now(const std::string& s) {
  if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':') return std::nullopt;
  auto field = [&](std::size_t at, std::size_t n) -> std::optional<int> {
    for (std::size_t i = at; i < at + n; ++i)
      if (!text::is_digit(s[i])) return std::nullopt;
    return static_cast<int>(*text::to_integer(s.substr(at, n)));
  };
  const auto y = field(0, 4), mo = field(5, 2), d = field(8, 2), h = field(11, 2), mi = field(14, 2), se = field(17, 2);
  if (!y || !mo || !d || !h || !mi || !se) return std::nullopt;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (*y % 4 == 0 && *y % 100 != 0) || *y % 400 == 0;
  if (*mo < 1 || *mo > 12 || *d < 1 || *d > kDays[*mo - 1] || (*mo == 2 && *d == 29 && !leap) || *h > 23 || *mi > 59 ||
      *se > 59)
    return std::nullopt;
  return fakes::local_time(*y, *mo, *d, *h, *mi, *se);
}

}  // namespace

int run_after(const std::vector<std::string>& args) {
  bool metric = false, raw = false, have_location = false;
  std::string location, file;
  std::vector<std::pair<std::string, std::string>> sets;
  std::optional<LocalDateTime> now;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--metric") {
      metric = true;
    } else if (a == "--raw") {
      raw = true;
    } else if (a == "--location") {
      if (++i >= args.size()) return usage_error("--location needs a STRING");
      location = args[i];
      have_location = true;
    } else if (a == "--set") {
      if (++i >= args.size()) return usage_error("--set needs KEY=VALUE");
      const std::size_t eq = args[i].find('=');
      if (eq == std::string::npos || eq == 0) return usage_error("--set needs KEY=VALUE, not " + args[i]);
      sets.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    } else if (a == "--now") {
      if (++i >= args.size()) return usage_error("--now needs \"YYYY-MM-DD hh:mm:ss\"");
      now = parse_now(args[i]);
      if (!now) return usage_error("--now needs \"YYYY-MM-DD hh:mm:ss\", not " + args[i]);
    } else if (a.rfind("--", 0) == 0) {
      return usage_error("unknown option " + a);
    } else if (!file.empty()) {
      return usage_error("more than one FILE");
    } else {
      file = a;
    }
  }
  if (file.empty()) return usage_error("after needs a FILE");
  const FileRead body = read_whole_file(file);
  if (!body.bytes) {
    std::cerr << "cirrodex-inspect: cannot read " << file << ": " << body.error << "\n";
    return 1;
  }

  ParseRig rig(metric, raw, have_location ? std::optional<std::string>(location) : std::nullopt);
  fakes::CallLog& log = rig.log;
  fakes::FakeHost& host = rig.host;
  fakes::FakeDisplay& display = rig.display;
  Settings& settings = rig.settings;
  Readings& readings = rig.readings;
  for (const auto& [key, value] : sets) settings.set(key, value);
  // Nothing the steps print reads the clock today; fixing it keeps a run the
  // same at any hour.
  fakes::FakeClock clock;
  if (now) clock.set(*now);
  fakes::FakeAppendFile files(log);
  fakes::FakeSound sound(log);
  fakes::FakeMail mail(log);
  fakes::FakeTray tray(log);
  const Services services(*builtin_resource("SERVICES", "CONF"));

  // What the steps would write, draw, say and send, printed in the steps' order.
  std::vector<std::string> derived, logged, drawn, spoken{"speak: "}, alarm{"alarm: none"};
  TemperatureIcons icons(
      tray, settings, host, display, readings,
      [&](const IconPicture& p) {
        drawn.push_back("icon " + std::string(icon_name(p.kind)) + " text=" + p.text.text + " size=" +
                        std::to_string(p.layout.size) + " x=" + std::to_string(p.layout.x) + " color=" + p.colour);
        // As the painter: a background that is no colour cannot be drawn.
        if (!icon_background(p)) throw std::invalid_argument("no colour: " + p.colour);
        return TrayPicture::filled(kIconPictureSize, 0xFF000000);
      },
      [] { return nullptr; }, ExtraIconSetup{});
  MailStatusLine mail_status(host);
  AlarmPorts alarm_ports{settings, host, display, sound, mail, mail_status, services};

  RetrievalHooks hooks;
  hooks.derive_readings = [&] {
    derive_readings(readings, settings, display, host);
    derived = {"HeatIndex=" + shown(readings.HeatIndex), "WindChill=" + shown(readings.WindChill)};
  };
  hooks.write_log_record = [&] {
    logged = {"log: " + shown(log_record(display.caption(), kStamp, readings))};
    write_log_record(files, host, display.caption(), kStamp, readings);
  };
  hooks.make_icons = [&] { icons.make_icons(); };
  hooks.speak_temperature = [&] {
    spoken = {"speak: " + describe(spoken_words(readings.Temperature))};
    speak_temperature(readings, host, sound);
  };
  hooks.check_temperature_alarm = [&] {
    const AlarmDecision d = check_temperature_alarm(readings, alarm_ports);
    switch (d.kind) {
      case AlarmDecision::Kind::None:
        alarm = {"alarm: none"};
        break;
      case AlarmDecision::Kind::Audible:
        alarm = {"alarm: audible " + d.file};
        break;
      case AlarmDecision::Kind::Email:
        alarm = {"alarm: email"};
        if (mail.sent()) {
          std::string joined;
          for (const std::string& line : alarm_mail_body(settings.get("AlarmTempCompare"), settings.get("AlarmTemp"),
                                                         d.temperature, display.caption(), kHomePage)) {
            if (!joined.empty()) joined += "\\n";
            joined += line;
          }
          alarm.push_back("mail-body: " + shown(joined));
        }
        break;
      case AlarmDecision::Kind::Failure:
        alarm = {"alarm: " + d.status};
        break;
    }
  };
  run_reading_steps(hooks, settings, host, true, [&] { rig.parser.parse_stats(*body.bytes, false); }, {}, {});

  for (const auto* part : {&derived, &logged, &drawn, &spoken, &alarm})
    for (const std::string& line : *part) std::cout << line << '\n';
  for (const auto& e : log.entries) {
    // Texts the steps set on the status slot directly are status texts too.
    if (e.rfind("slot TEXT_STATUSBAR=", 0) == 0)
      std::cout << "status: " << shown(e.substr(20)) << '\n';
    else if (is_listed_call(e))
      std::cout << shown(e) << '\n';
  }
  return 0;
}

}  // namespace cirrodex::inspect
