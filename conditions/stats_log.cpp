#include "conditions/stats_log.h"

#include <filesystem>

#include "platform/text.h"

namespace cirrodex {

std::string log_stamp(std::string_view short_date, std::string_view long_time, const LocalDateTime& t) {
  if (t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0) return std::string(short_date);
  std::string stamp(short_date);
  stamp += ' ';
  stamp += long_time;
  return stamp;
}

std::string log_stamp(DateFormat& format, const LocalDateTime& t) {
  return log_stamp(format.short_date(t), format.long_time(t), t);
}

std::string log_first_lines(std::string_view stamp) {
  std::string lines = "Cirrodex Log File - created: ";
  lines += stamp;
  lines += "\r\n";
  lines += kLogHeader;
  lines += "\r\n";
  return lines;
}

std::string log_record(std::string_view caption, std::string_view stamp, const Readings& r) {
  std::string line = text::copy(caption, 12, static_cast<std::int64_t>(caption.size()));
  line.reserve(line.size() + stamp.size() + 160);
  line += ',';
  line += stamp;
  for (const std::string* field : {&r.Conditions, &r.Temperature, &r.Humidity, &r.Pressure, &r.Wind, &r.Visibility,
                                   &r.Dewpoint, &r.WindChill, &r.HeatIndex}) {
    line += ',';
    line += *field;
  }
  return line;
}

void write_log_record(AppendFile& files, Host& host, std::string_view caption, std::string_view stamp,
                      const Readings& r) {
  auto failure = [&host](const char* text, int ms) {
    host.beep();
    host.show_status(text);
    host.pause(ms);
  };
  const std::string name(kLogFileName);
  const AppendResult result = files.append(name, log_first_lines(stamp), log_record(caption, stamp, r) + "\r\n");
  // A failed open or creation leaves nothing to write the record to: the
  // record's own failure follows, as when the write itself fails.
  if (result == AppendResult::OpenFailed) failure("Error occurred appending to Log file.", 1500);
  if (result == AppendResult::CreateFailed) failure("Error occurred creating Log file.", 2200);
  if (result != AppendResult::Appended) failure("Error writing stats to Log file.", 1200);
}

void view_log_file(AppendFile& files, Shell& shell, Host& host) {
  const std::string name(kLogFileName);
  if (!files.exists(name)) {
    host.message_box(
        "Error - Cirrodex.log file does not exist. To use this feature, you must have the Log option on.  See the "
        "General Preferences under Options.",
        MessageKind::Warning, MessageButtons::Ok);
    return;
  }
  // The desktop opens files by their full path.
  std::error_code error;
  const std::string path = std::filesystem::absolute(name, error).string();
  if (!shell.open_address(path))
    host.message_box("No text editor could be started for " + path, MessageKind::Warning, MessageButtons::Ok);
}

}  // namespace cirrodex
