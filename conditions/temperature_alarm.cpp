#include "conditions/temperature_alarm.h"

#include "platform/text.h"

namespace cirrodex {
namespace {

AlarmDecision failure(std::string status, int pause_ms) {
  AlarmDecision d;
  d.kind = AlarmDecision::Kind::Failure;
  d.status = std::move(status);
  d.pause_ms = pause_ms;
  return d;
}

bool digit_at(std::string_view s, std::size_t index) { return index < s.size() && text::is_digit(s[index]); }

// The temperature A of steps 1 to 3, or the failure that stops the check;
// an empty text stops it silently.
AlarmDecision read_temperature(std::string_view temperature, std::optional<std::int64_t>& a) {
  const std::string t = alarm_temperature_text(temperature);
  if (t.empty()) return {};
  // Negative temperatures never raise the alarm.
  if (t.find('-') != std::string::npos) return failure("Negative value:Temp. conversion-alarm logic...", 1500);
  a = text::to_integer(t);
  if (!a) return failure("Error: Temp. conversion-alarm logic...", 1500);
  return {};
}

}  // namespace

std::string alarm_temperature_text(std::string_view temperature) {
  const std::size_t count = digit_at(temperature, 2) ? 3 : digit_at(temperature, 1) ? 2 : 1;
  return text::trim(text::copy(temperature, 1, static_cast<std::int64_t>(count)));
}

AlarmDecision decide_temperature_alarm(std::string_view temperature, Settings& settings) {
  std::optional<std::int64_t> a;
  try {
    if (AlarmDecision stop = read_temperature(temperature, a); !a) return stop;
  } catch (const std::exception&) {
    return failure("Error in alarm check logic (#1).", 1000);
  }
  const std::string alarm_temp = settings.get("AlarmTemp");
  if (alarm_temp == kMissing) return {};
  const std::optional<std::int64_t> b = text::to_integer(alarm_temp);
  const std::string compare = settings.get("AlarmTempCompare");
  if (!b) return failure("Error in Alarm Check logic...(E2)...Possible invalid Alarm Temperature Setting.", 1800);
  // Equality never holds; a missing direction never does either.
  const bool holds = compare == "exceeds" ? *a > *b : compare != kMissing && *a < *b;
  if (!holds) return {};
  const std::string type = settings.get("AlarmType");
  AlarmDecision d;
  if (type == "audible") {
    const std::string file = settings.get("Aaudible");
    if (file == kMissing) return {};
    d.kind = AlarmDecision::Kind::Audible;
    d.file = file;
    return d;
  }
  if (type == "email") {
    d.kind = AlarmDecision::Kind::Email;
    d.temperature = std::to_string(*a);
    return d;
  }
  return failure("Error - invalid AlarmType:" + type, 2000);
}

std::vector<std::string> alarm_mail_body(std::string_view compare, std::string_view alarm_temp,
                                         std::string_view temperature, std::string_view caption,
                                         std::string_view home_page) {
  const auto join = [](std::initializer_list<std::string_view> parts) {
    std::string s;
    for (const std::string_view p : parts) s += p;
    return s;
  };
  return {
      "Cirrodex Alarm!",
      "You are receiving this because a Cirrodex Alarm was set-up to ",
      join({"notify you when the Temperature ", compare, " ", alarm_temp, " degrees."}),
      join({"The current temperature is ", temperature, " degrees."}),
      join({"Current location of ", caption, "."}),
      " ",
      " ",
      " ",
      "This e-mail was sent from Cirrodex - striving to be the best for desktop weather information!",
      join({"Cirrodex can be found on the web at ", home_page, " "}),
      " ",
  };
}

std::string home_page_address(const Services& services) {
  return services.url("maker_web", "/html/software/Cirrodex.html");
}

AlarmDecision check_temperature_alarm(const Readings& r, AlarmPorts& ports) {
  AlarmDecision d = decide_temperature_alarm(r.Temperature, ports.settings);
  switch (d.kind) {
    case AlarmDecision::Kind::None:
      break;
    case AlarmDecision::Kind::Failure:
      ports.host.beep();
      ports.host.show_status(d.status);
      ports.host.pause(d.pause_ms);
      break;
    case AlarmDecision::Kind::Audible:
      // The sound plays on while the cycle goes on.
      if (!ports.sound.play_file(d.file)) {
        ports.host.beep();
        ports.host.show_status("Error playing your Alarm wav file!");
        ports.host.pause(2000);
      }
      break;
    case AlarmDecision::Kind::Email:
      send_alarm_mail(d.temperature, ports);
      break;
  }
  return d;
}

void send_alarm_mail(const std::string& temperature, AlarmPorts& ports) {
  const std::string status_slot(kSlotStatusBar);
  ports.display.set_slot_text(status_slot, "Sending Alarm Message...");
  // Each message starts with empty per-message fields.
  MailMessage message;
  const std::string server = ports.settings.get("Ahost");
  if (server == kMissing) return;
  message.body = alarm_mail_body(ports.settings.get("AlarmTempCompare"), ports.settings.get("AlarmTemp"), temperature,
                                 ports.display.caption(), home_page_address(ports.services));
  const std::string sender = ports.settings.get("AUserEmail");
  if (sender == kMissing) return;
  message.from_address = message.reply_to = sender;
  message.from_name = "Cirrodex";
  message.subject = "Cirrodex Alarm";
  message.mailer = "Cirrodex";
  const std::string recipient = ports.settings.get("AsendtoE");
  if (recipient == kMissing) return;
  message.recipients = {recipient};
  try {
    ports.mail.connect(server, ports.mail_events);
    ports.mail.send(message, ports.mail_events);
    ports.mail.disconnect(ports.mail_events);
  } catch (const std::exception&) {
    ports.host.beep();
    ports.display.set_slot_text(status_slot, "Error sending e-mail message (Alarm).");
    ports.host.pause(2000);
    return;
  }
  ports.display.set_slot_text(status_slot, "Alarm Message sent!");
  ports.host.pause(1000);
}

}  // namespace cirrodex
