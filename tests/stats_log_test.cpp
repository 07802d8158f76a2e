// The stats log: the record line for real parses, the stamp, the file's
// first lines, the status texts of each failure, and "View Log File".
#include "conditions/stats_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/fakes/fake_append_file.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_date_format.h"
#include "platform/fakes/fake_shell.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using testing::ParserRig;
using testing::read_fixture;
using Calls = std::vector<std::string>;

const std::string kDeg(1, '\xB0');
const std::string kStamp = "12/11/2026 2:30:05 PM";

std::size_t columns(const std::string& line) {
  return static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
}

// A page with the given rows, as the service wraps them.
std::string page(const std::vector<std::string>& rows) {
  std::string doc = "<html><head><title>Conditions: Tuscaloosa, Alabama Weather Forecast</title></head><body>\n";
  doc += "<p>Updated: 3:53 PM CDT on May 5, 1999</p>\n<p>Observed at Tuscaloosa Airport</p>\n";
  for (const auto& r : rows) doc += "<p>" + r + "</p>\n";
  doc += "<p>" + std::string(120, '.') + "</p></body></html>";
  return doc;
}

TEST(StatsLog, RecordLinesOfRealParses) {
  struct Row {
    const char* name;
    const char* requested;
    bool metric;
    std::string doc;
    std::string line;
    std::size_t columns;
  };
  const std::string full = read_fixture("conditions_page.html");
  const std::string rest = ",Partly Cloudy,72" + kDeg + "F,45%,30.12 in,From the South @ 10mph,10 miles,50" + kDeg +
                           "F,70" + kDeg + "F,75" + kDeg + "F";
  const Row rows[] = {
      // A city, a comma and a state: the comma splits the title into the
      // Location and State/Country columns (the second starting with a blank).
      {"city and state", "Tuscaloosa, AL", false, full, "Tuscaloosa, AL," + kStamp + rest, 12},
      {"zip code title", "35401 - Tuscaloosa, AL", false, full, "35401 - Tuscaloosa, AL," + kStamp + rest, 12},
      {"title without a comma", "Tuscaloosa", false, full, "Tuscaloosa," + kStamp + rest, 11},
      {"metric", "Tuscaloosa, AL", true, full, "", 12},
      // No Temperature: the parse ends early and the fields it cleared are
      // empty columns.
      {"early-ended parse", "Tuscaloosa, AL", false, page({"Humidity 45%"}),
       "Tuscaloosa, AL," + kStamp + ",,,,,,,n/a,,", 12},
      // Nothing is quoted: a comma in the conditions adds a column.
      {"comma in the conditions", "Tuscaloosa, AL", false,
       page({"Temperature 72&#176;F", "Humidity 45%", "Conditions Rain, Fog", "Visibility 2 miles"}), "", 13},
  };
  for (const Row& row : rows) {
    ParserRig rig;
    if (row.metric) rig.settings.set("Metric", "y");
    rig.request(row.requested);
    rig.parse(row.doc, false);
    const std::string line = log_record(rig.display.caption(), kStamp, rig.readings);
    if (!row.line.empty()) {
      EXPECT_EQ(line, row.line) << row.name;
    }
    EXPECT_EQ(columns(line), row.columns) << row.name << ": " << line;
    if (row.metric) {
      // The Celsius text as displayed, with the degree sign as byte 176.
      EXPECT_NE(line.find(",Partly Cloudy,22\xB0 C,45%,"), std::string::npos) << line;
    }
  }
}

TEST(StatsLog, ACaptionShorterThanItsPrefixGivesAnEmptyTitle) {
  Readings r;
  EXPECT_EQ(log_record("Cirrodex", "1/2/2026", r), ",1/2/2026,n/a,n/a,n/a,n/a,n/a,n/a,n/a,n/a,n/a");
  EXPECT_EQ(log_record("Cirrodex - X", "s", r), "X,s,n/a,n/a,n/a,n/a,n/a,n/a,n/a,n/a,n/a");
}

TEST(StatsLog, StampLeavesOutTheTimeAtExactlyMidnight) {
  struct Row {
    int hour, minute, second, millisecond;
    const char* stamp;
  };
  for (const Row& row : {Row{0, 0, 0, 0, "12/11/2026"}, Row{0, 0, 0, 1, "12/11/2026 12:00:00 AM"},
                         Row{0, 0, 1, 0, "12/11/2026 12:00:01 AM"}, Row{12, 0, 0, 0, "12/11/2026 12:00:00 PM"},
                         Row{23, 59, 59, 999, "12/11/2026 11:59:59 PM"}}) {
    LocalDateTime t = fakes::local_time(2026, 12, 11, row.hour, row.minute, row.second);
    t.millisecond = row.millisecond;
    fakes::FakeDateFormat format;
    EXPECT_EQ(log_stamp(format, t), row.stamp) << row.hour << ":" << row.minute << ":" << row.second;
  }
}

struct LogRig {
  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakeAppendFile files{log};
  Readings readings;
  void write() { write_log_record(files, host, "Cirrodex - Tuscaloosa, AL", kStamp, readings); }
};

TEST(StatsLog, TheFirstRecordCreatesTheFileWithItsTwoLines) {
  LogRig rig;
  rig.readings.Temperature = "72" + kDeg + "F";
  rig.write();
  rig.write();
  const std::string record = "Tuscaloosa, AL," + kStamp + ",n/a,72" + kDeg + "F,n/a,n/a,n/a,n/a,n/a,n/a,n/a\r\n";
  EXPECT_EQ(rig.files.content("Cirrodex.log"),
            "Cirrodex Log File - created: " + kStamp +
                "\r\n"
                "Location,State/Country,LastUpdated,Conditions,Temperature,Humidity,Pressure,Wind,Visibility,"
                "Dewpoint,WindChill,HeatIndex\r\n" +
                record + record);
  EXPECT_EQ(rig.log.with_prefix("status: "), Calls{});  // the cycle shows the texts around it
}

TEST(StatsLog, EachFailureShowsItsTextsAndPauses) {
  struct Row {
    const char* name;
    bool exists;
    AppendResult result;
    Calls calls;
  };
  const Row rows[] = {
      {"appending",
       true,
       AppendResult::OpenFailed,
       {"append failed: Cirrodex.log", "beep", "status: Error occurred appending to Log file.", "pause: 1500", "beep",
        "status: Error writing stats to Log file.", "pause: 1200"}},
      {"creating",
       false,
       AppendResult::CreateFailed,
       {"append failed: Cirrodex.log", "beep", "status: Error occurred creating Log file.", "pause: 2200", "beep",
        "status: Error writing stats to Log file.", "pause: 1200"}},
      {"writing",
       true,
       AppendResult::WriteFailed,
       {"append failed: Cirrodex.log", "beep", "status: Error writing stats to Log file.", "pause: 1200"}},
  };
  for (const Row& row : rows) {
    LogRig rig;
    if (row.exists) rig.files.put("Cirrodex.log", "old\r\n");
    rig.files.fail_with(row.result);
    rig.write();
    EXPECT_EQ(rig.log.entries, row.calls) << row.name;
  }
}

TEST(StatsLog, ViewLogFileOpensTheLogOrExplains) {
  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakeAppendFile files{log};
  fakes::FakeShell shell{log};
  view_log_file(files, shell, host);
  EXPECT_EQ(log.entries, Calls{"message: Error - Cirrodex.log file does not exist. To use this feature, you must "
                               "have the Log option on.  See the General Preferences under Options."});

  log.clear();
  files.put("Cirrodex.log", "x");
  view_log_file(files, shell, host);
  const std::string path = (std::filesystem::current_path() / "Cirrodex.log").string();
  EXPECT_EQ(log.entries, Calls{"open: " + path});

  log.clear();
  shell.open_works = false;
  view_log_file(files, shell, host);
  EXPECT_EQ(log.entries, (Calls{"open: " + path, "message: No text editor could be started for " + path}));
}

}  // namespace
}  // namespace cirrodex
