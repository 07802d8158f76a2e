#pragma once
// The stats log "Cirrodex.log": one comma-separated line of readings per
// retrieval, in Latin-1 with CR LF line ends, after a creation line and a
// header. The daily charts read it; nothing ever truncates or rotates it.
// The record is a pure function of the caption, the time stamp text and the
// readings, so the inspect tool prints exactly what would be appended.

#include <string>
#include <string_view>

#include "conditions/readings.h"
#include "platform/append_file.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/host.h"
#include "platform/shell.h"

namespace cirrodex {

inline constexpr std::string_view kLogFileName = "Cirrodex.log";
inline constexpr std::string_view kLogHeader =
    "Location,State/Country,LastUpdated,Conditions,Temperature,Humidity,Pressure,Wind,Visibility,Dewpoint,WindChill,"
    "HeatIndex";

// The short date, a space and the long time; the date alone at exactly
// midnight.
std::string log_stamp(std::string_view short_date, std::string_view long_time, const LocalDateTime& t);
std::string log_stamp(DateFormat& format, const LocalDateTime& t);

// Lines 1 and 2 of a new log, each ended by CR LF.
std::string log_first_lines(std::string_view stamp);

// One record without its CR LF: the caption from its 12th character (the
// title after "Cirrodex - "), the stamp, then Conditions, Temperature,
// Humidity, Pressure, Wind, Visibility, Dewpoint, WindChill and HeatIndex,
// joined by single commas exactly as they are shown; nothing is quoted.
std::string log_record(std::string_view caption, std::string_view stamp, const Readings& r);

// Appends the record (creating the file with its first two lines when it is
// missing) and shows each failure on the status line with its beep and pause.
void write_log_record(AppendFile& files, Host& host, std::string_view caption, std::string_view stamp,
                      const Readings& r);

// "View Log File": the log in the current (data) folder opened in the
// desktop's text editor, or the message that there is none.
void view_log_file(AppendFile& files, Shell& shell, Host& host);

}  // namespace cirrodex
