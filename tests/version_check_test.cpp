// The version check's comparison and command, and the printed stats lines.
#include "conditions/version_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "conditions/printed_stats.h"
#include "platform/fakes/fake_host.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;

TEST(VersionCheck, TheVersionsCompareAsText) {
  struct Row {
    const char* received;
    const char* message;
  };
  for (const Row& row : {
           Row{"Version#2.10.0", "You are using an older version (2.05.0). The latest version is 2.10.0."},
           Row{"Version#2.05.0", "Your version is the most current (2.05.0). The latest version is 2.05.0."},
           Row{"Version#1.99.9", "Your version is the most current (2.05.0). The latest version is 1.99.9."},
           // Text, not numbers: "10.0.0" sorts before "2.05.0".
           Row{"Version#10.0.0", "Your version is the most current (2.05.0). The latest version is 10.0.0."},
           Row{"Cirrodex\r\nVersion#2.06.0\r\n",
               "You are using an older version (2.05.0). The latest version is 2.06.0."},
           Row{"Version#2.1", "You are using an older version (2.05.0). The latest version is 2.1."},
           Row{"version#2.10.0", "Error retrieving version #.  Please try again later."},
           Row{"", "Error retrieving version #.  Please try again later."},
       }) {
    EXPECT_EQ(update_message(row.received, "2.05.0"), row.message) << row.received;
  }
}

TEST(VersionCheck, TheCommandAsksTheMakersFilesHost) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(::testing::TempDir()) / ("version-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path here = fs::current_path();
  fs::current_path(folder);
  std::ofstream("Head.txt") << "left over";

  fakes::CallLog log;
  fakes::FakeHost host{log};
  const Services services("maker_files = http://files.test:8470\n");
  std::string asked;
  check_for_update(
      [&](const std::string& url) -> std::optional<std::string> {
        asked = url;
        return "Version#2.10.0";
      },
      services, host);
  EXPECT_EQ(asked, "http://files.test:8470/assets/cirrodexvs.txt");
  EXPECT_EQ(log.entries, (Calls{"message: You are using an older version (2.05.0). The latest version is 2.10.0.",
                                "status: Thank you for using Cirrodex..."}));
  EXPECT_FALSE(fs::exists("Head.txt"));

  log.clear();
  check_for_update([](const std::string&) { return std::optional<std::string>(); }, services, host);
  EXPECT_EQ(log.entries, (Calls{"message: Error retrieving version #.  Please try again later.",
                                "status: Thank you for using Cirrodex..."}));
  fs::current_path(here);
  fs::remove_all(folder);
}

TEST(PrintedStats, TheLinesAsWrittenTypoIncluded) {
  Readings r;
  r.ConditionTime = "3:53 PM CDT May 5";
  r.Conditions = "Partly Cloudy";
  r.Temperature =
      "72\xB0"
      "F";
  r.Humidity = "45%";
  r.Visibility = "10 miles";
  r.Wind = "";
  EXPECT_EQ(printed_stats_lines("Cirrodex - Tuscaloosa, AL", r),
            (Calls{"Cirrodex - Tuscaloosa, AL",
                   "3:53 PM CDT May 5",
                   "",
                   "Conditions:Partly Cloudy",
                   "Temperature:72\xB0"
                   "F",
                   "Humidity:45%",
                   "Pressure:n/a",
                   "Wind:",  // an empty reading prints the label alone
                   "Viosibility:10 miles",
                   "Dew Point:n/a",
                   "",
                   "Sunrise:n/a",
                   "Sunset:n/a",
                   "Moonrise:n/a",
                   "Moonset:n/a",
                   "Wind Chill:n/a",
                   "Heat Index:n/a",
                   " ",
                   "",
                   "[Printed from Cirrodex (by Velmoraworks).]"}));
}

}  // namespace
}  // namespace cirrodex
