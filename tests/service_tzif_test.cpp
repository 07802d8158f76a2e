// The TZif reader and the POSIX TZ rules of its footer: offsets across the
// changes, before the first transition and past the table's end, on the
// system's tzdata; every broken copy of a file refused.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "service/tzif.h"

namespace cirrodex::service {
namespace {

std::int64_t utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0) {
  using namespace std::chrono;
  return (sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s}).time_since_epoch().count();
}

std::string zone_file(const std::string& name) {
  std::ifstream in("/usr/share/zoneinfo/" + name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TimeZoneRules system_rules(const std::string& name) {
  std::string error;
  auto rules = TimeZoneRules::parse(zone_file(name), &error);
  if (!rules) throw std::runtime_error(name + ": " + error);
  return *rules;
}

struct Expect {
  std::int64_t t;
  std::int32_t offset;
  bool dst;
  const char* abbreviation;
};

void check(const TimeZoneRules& z, const Expect& e, const char* what) {
  const LocalTimeType got = z.at(e.t);
  EXPECT_EQ(got.utc_offset, e.offset) << what << " at " << e.t;
  EXPECT_EQ(got.dst, e.dst) << what << " at " << e.t;
  EXPECT_EQ(got.abbreviation, e.abbreviation) << what << " at " << e.t;
}

TEST(ServiceTzif, ChicagoAcrossTheChangesAndPastTheTable) {
  const TimeZoneRules chicago = system_rules("America/Chicago");
  const Expect cases[] = {
      // 2024: CDT from 10 March 2:00 CST (08:00 UTC) to 3 November 2:00 CDT (07:00 UTC).
      {utc(2024, 3, 10, 7, 59, 59), -21600, false, "CST"},
      {utc(2024, 3, 10, 8), -18000, true, "CDT"},
      {utc(2024, 11, 3, 6, 59, 59), -18000, true, "CDT"},
      {utc(2024, 11, 3, 7), -21600, false, "CST"},
      // Past 2037 the footer's rule "CST6CDT,M3.2.0,M11.1.0" answers:
      // 11 March and 4 November 2040, 15 March and 1 November 2099.
      {utc(2040, 3, 11, 7, 59, 59), -21600, false, "CST"},
      {utc(2040, 3, 11, 8), -18000, true, "CDT"},
      {utc(2040, 11, 4, 6, 59, 59), -18000, true, "CDT"},
      {utc(2040, 11, 4, 7), -21600, false, "CST"},
      {utc(2099, 3, 15, 8), -18000, true, "CDT"},
      {utc(2099, 11, 1, 7), -21600, false, "CST"},
      {utc(2099, 12, 31, 23, 59, 59), -21600, false, "CST"},
      // Before the first transition: local mean time.
      {utc(1850, 1, 1), -21036, false, "LMT"},
  };
  for (const auto& c : cases) check(chicago, c, "America/Chicago");
}

TEST(ServiceTzif, SouthernAndNegativeDaylightSavingRules) {
  const TimeZoneRules sydney = system_rules("Australia/Sydney");
  const Expect sydney_cases[] = {
      {utc(2024, 4, 6, 15, 59, 59), 39600, true, "AEDT"},  // until 7 April 3:00 AEDT
      {utc(2024, 4, 6, 16), 36000, false, "AEST"},
      {utc(2050, 1, 15), 39600, true, "AEDT"},
      {utc(2050, 7, 1), 36000, false, "AEST"},
      {utc(2050, 10, 1, 16), 39600, true, "AEDT"},  // from 2 October 2:00 AEST
      {utc(2050, 10, 1, 15, 59, 59), 36000, false, "AEST"},
  };
  for (const auto& c : sydney_cases) check(sydney, c, "Australia/Sydney");

  // Dublin's winter time is the daylight saving one, with a negative saving.
  const TimeZoneRules dublin = system_rules("Europe/Dublin");
  check(dublin, {utc(2050, 1, 15), 0, true, "GMT"}, "Europe/Dublin");
  check(dublin, {utc(2050, 7, 1), 3600, false, "IST"}, "Europe/Dublin");

  const TimeZoneRules phoenix = system_rules("America/Phoenix");
  check(phoenix, {utc(2050, 7, 1), -25200, false, "MST"}, "America/Phoenix");
}

TEST(ServiceTzif, VersionOneFilesUseTheirThirtyTwoBitTable) {
  std::string bytes = zone_file("America/Chicago");
  ASSERT_GT(bytes.size(), 44U);
  bytes[4] = '\0';
  const auto v1 = TimeZoneRules::parse(bytes);
  ASSERT_TRUE(v1);
  check(*v1, {utc(2024, 7, 1), -18000, true, "CDT"}, "version 1");
  check(*v1, {utc(2024, 12, 1), -21600, false, "CST"}, "version 1");
}

TEST(ServiceTzif, EveryBrokenCopyIsRefused) {
  const std::string bytes = zone_file("America/Chicago");
  ASSERT_TRUE(TimeZoneRules::parse(bytes));
  // Every proper prefix is missing something the reader needs.
  for (std::size_t n = 0; n < bytes.size(); ++n)
    ASSERT_FALSE(TimeZoneRules::parse(bytes.substr(0, n))) << "prefix of " << n << " bytes";

  struct Case {
    std::size_t at;
    char value;
    const char* error;
  };
  // Offsets in the 64-bit header: counts start at 44 + 20.
  const std::size_t v1_size = bytes.find("TZif", 4);
  ASSERT_NE(v1_size, std::string::npos);
  const Case cases[] = {
      {0, 'X', "not a TZif file"},
      {v1_size, 'X', "no second header"},
      {v1_size + 20 + 16 + 3, 0, "bad counts"},                // no local time types
      {v1_size + 20 + 20 + 3, 0, "bad counts"},                // no abbreviation characters
      {v1_size + 44 + 8, '\x7f', "transitions out of order"},  // the second one far in the future
      {bytes.size() - 3, '!', "bad TZ string in the footer"},
  };
  for (const auto& c : cases) {
    std::string broken = bytes;
    broken[c.at] = c.value;
    std::string error;
    EXPECT_FALSE(TimeZoneRules::parse(broken, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(ServicePosixTz, ParsesTheFormsOfTzdataFooters) {
  struct Case {
    const char* tz;
    std::int64_t t;
    std::int32_t offset;
    bool dst;
    const char* abbreviation;
  };
  const Case cases[] = {
      {"EST5EDT,M3.2.0,M11.1.0", utc(2030, 7, 1), -14400, true, "EDT"},
      {"EST5EDT", utc(2030, 3, 10, 7), -14400, true, "EDT"},  // the US rules when none are given
      {"EST5EDT", utc(2030, 3, 10, 6, 59, 59), -18000, false, "EST"},
      {"<+0330>-3:30", utc(2030, 1, 1), 12600, false, "+0330"},
      {"<-03>3", utc(2030, 1, 1), -10800, false, "-03"},
      {"NZST-12NZDT,M9.5.0,M4.1.0/3", utc(2030, 1, 1), 46800, true, "NZDT"},
      {"NZST-12NZDT,M9.5.0,M4.1.0/3", utc(2030, 7, 1), 43200, false, "NZST"},
      // Julian days without 29 February: day 60 is 1 March even in 2032.
      {"AAA3BBB,J60/0,J300/0", utc(2032, 3, 1, 2, 59, 59), -10800, false, "AAA"},
      {"AAA3BBB,J60/0,J300/0", utc(2032, 3, 1, 3), -7200, true, "BBB"},
      // Zero-based days count it: day 59 is 29 February in 2032.
      {"AAA3BBB,59/0,300/0", utc(2032, 2, 29, 2, 59, 59), -10800, false, "AAA"},
      {"AAA3BBB,59/0,300/0", utc(2032, 2, 29, 3), -7200, true, "BBB"},
      // Greenland's change at -1:00 on the last Sunday of March (31 March
      // 2030), that is at 23:00 the day before, 01:00 UTC.
      {"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", utc(2030, 3, 31, 0, 59, 59), -7200, false, "-02"},
      {"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", utc(2030, 3, 31, 1), -3600, true, "-01"},
      // Daylight saving time all year (a start on 1 January, an end after 31 December).
      {"EST5EDT,0/0,J365/25", utc(2030, 6, 1), -14400, true, "EDT"},
      {"ABC-1XYZ-3:30,M3.5.0,M10.5.0", utc(2030, 7, 1), 12600, true, "XYZ"},
  };
  for (const auto& c : cases) {
    const auto z = PosixTimeZone::parse(c.tz);
    ASSERT_TRUE(z) << c.tz;
    const LocalTimeType got = z->at(c.t);
    EXPECT_EQ(got, (LocalTimeType{c.offset, c.dst, c.abbreviation})) << c.tz << " at " << c.t;
  }
  for (const char* bad : {"", "E5", "EST", "EST5EDT,M13.1.0,M11.1.0", "EST5EDT,M3.2.0", "EST5EDT,M3.2.0,M11.1.0x",
                          "<>5", "<+03", "EST25", "EST5EDT,M3.6.0,M11.1.0", "EST5EDT,J0,J365", "EST5:60"})
    EXPECT_FALSE(PosixTimeZone::parse(bad)) << bad;
}

}  // namespace
}  // namespace cirrodex::service
