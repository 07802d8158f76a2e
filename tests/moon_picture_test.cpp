#include "moon/moon_picture.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "moon/julian.h"
#include "moon/phases.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_host.h"

namespace cirrodex::moon {
namespace {

using fakes::CallLog;
using fakes::FakeClock;
using fakes::FakeHost;

const std::string kSupport = "support@cirrodex.example";
const std::string kContact = "If this message keeps appearing, please contact support@cirrodex.example.";
const std::vector<std::string> kCalcFailure = {"beep", "status: Error occurred in moon phase calc. (E1).",
                                               "pause: 1200"};

struct Drawn {
  MoonPictureResult result;
  std::vector<std::string> calls;
};

Drawn draw_on(int year, int month, int day) {
  FakeClock clock;
  clock.set(fakes::local_time(year, month, day, 23));  // the local date counts, not the hour
  CallLog log;
  FakeHost host(log);
  Drawn d{draw_moon_picture(clock, host, kSupport), {}};
  d.calls = log.entries;
  return d;
}

TEST(MoonPicture, TableDatesPickThePictureFromTodayAndTheNextDay) {
  struct Case {
    int year, month, day;
    const char* today;
    const char* next;
    int number;
  };
  const Case cases[] = {
      {1999, 1, 2, "1.00", "0.99", 0},     // full moon
      {1999, 1, 1, "0.98", "1.00", 18},    // rising, tenths 9: GifImageL90x
      {1999, 1, 3, "0.99", "0.95", 9},     // falling: GifImage90x
      {1999, 1, 31, "0.99", "1.00", 18},   // 31 January goes on to 1 February
      {2001, 2, 28, "0.20", "0.29", 11},   // 29 February is missing: 1 March
      {2004, 2, 29, "0.58", "0.67", 14},   // leap day, then 1 March
      {1999, 4, 30, "0.99", "1.00", 18},   // 31 April is missing: 1 May
      {2004, 12, 31, "0.84", "0.76", 8},   // 31 December: the next year's table
      {2005, 12, 31, "0.00", "0.01", 19},  // last table day: the library's 1 January 2006
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    const Drawn d = draw_on(c.year, c.month, c.day);
    EXPECT_EQ(d.result.today, c.today);
    EXPECT_EQ(d.result.next, c.next);
    EXPECT_EQ(d.result.number, c.number);
    EXPECT_EQ(d.result.name, moon_picture_name(c.number));
    EXPECT_TRUE(d.calls.empty());
  }
}

TEST(MoonPicture, ValueRulesNameThePicture) {
  struct Case {
    const char* today;
    const char* next;
    const char* name;
  };
  const Case cases[] = {
      {"0.05", "0.12", "newmoonx"},     {"0.00", "0.01", "newmoonx"},     {"0.09", "0.02", "newmoonx"},
      {"0.10", "0.20", "GifImageL10x"}, {"0.10", "0.04", "GifImage10x"},  {"1.00", "0.98", "fullmoonx"},
      {"0.45", "0.45", "GifImage40x"},  {"0.99", "1.00", "GifImageL90x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.today) + " -> " + c.next);
    CallLog log;
    FakeHost host(log);
    const MoonPictureResult r = choose_moon_picture(c.today, c.next, host, kSupport);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.number, moon_picture_number(c.name));
    EXPECT_TRUE(r.number.has_value());
    EXPECT_TRUE(log.entries.empty());
  }
}

TEST(MoonPicture, BadValuesAreReportedAndKeepThePicture) {
  struct Case {
    const char* today;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"100", {"message: Error - no dot found in Moon Phase logic...  " + kContact + "  (moonp error=100)"}},
      {"0.x5", {"message: Error - invalid moon phase calculation...Moonfile = GifImagex0x  " + kContact}},
      {"1.", kCalcFailure},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.today);
    CallLog log;
    FakeHost host(log);
    EXPECT_FALSE(choose_moon_picture(c.today, "0.10", host, kSupport).number);
    EXPECT_EQ(log.entries, c.calls);
  }
}

// Outside the tables the library's fraction of the date and the next date decide.
TEST(MoonPicture, OtherYearsFollowTheLibrary) {
  struct Case {
    int year, month, day;
  };
  const Case cases[] = {{2026, 3, 9}, {2026, 7, 21}, {2026, 11, 20}, {2006, 1, 20}, {1998, 6, 5}, {2150, 8, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    const Instant t = make_instant(c.year, c.month, c.day);
    const Real f = illuminated_fraction(t);
    const Drawn d = draw_on(c.year, c.month, c.day);
    EXPECT_TRUE(d.calls.empty());
    ASSERT_TRUE(d.result.number.has_value());
    EXPECT_NEAR(std::stod(d.result.today), static_cast<double>(f), 0.005);
    EXPECT_NEAR(std::stod(d.result.next), static_cast<double>(illuminated_fraction(t + 1)), 0.005);
    const int n = *d.result.number;
    ASSERT_TRUE(n >= 1 && n <= 18) << n;  // these dates are neither near new nor near full moon
    const bool waxing = n >= 10;
    EXPECT_EQ(waxing, phase_angle(t) > 0);
    EXPECT_EQ(waxing ? n - 9 : n, static_cast<int>(std::stod(d.result.today) * 10 + 1e-9));
  }
}

TEST(MoonPicture, BrokenDatesAreReported) {
  const std::string warning = "message: Warning - invalid year1 in moon phase logic.  " + kContact;
  struct Case {
    int year, month, day;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      // A three-digit month shifts the day and the year out of their places.
      {2000, 100, 1, {"beep", "status: Error occurred creating day1 value.", "pause: 1200", warning}},
      {1500, 6, 1, {warning}},  // before the library's calendar
      {2026, 2, 30, kCalcFailure},
      {1999, 1, 0, kCalcFailure},  // no row before the first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    const Drawn d = draw_on(c.year, c.month, c.day);
    EXPECT_FALSE(d.result.number);
    EXPECT_EQ(d.calls, c.calls);
  }
}

bool is_date(int year, int month, int day) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

TEST(MoonYearTables, EveryRowHasTheDayNumberAndTwelveValues) {
  for (int year = kFirstTableYear; year <= kLastTableYear; ++year) {
    SCOPED_TRACE(year);
    const auto table = year_table(year);
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->size(), 1664u);
    for (int row = 1; row <= 32; ++row) {
      const std::string_view text = table->substr(static_cast<std::size_t>(row - 1) * 52, 52);
      char number[8];
      std::snprintf(number, sizeof number, "%04d", row == 32 ? 9999 : row);
      EXPECT_EQ(text.substr(0, 4), number);
      for (int month = 1; month <= 12; ++month) {
        const std::string value(text.substr(static_cast<std::size_t>(month) * 4, 4));
        if (row == 32 || !is_date(year, month, row)) {
          EXPECT_EQ(value, "9.99") << row << "/" << month;
        } else {
          EXPECT_TRUE(value[0] >= '0' && value[0] <= '1' && value[1] == '.' && std::isdigit(value[2]) &&
                      std::isdigit(value[3]) && value <= "1.00")
              << row << "/" << month << ": " << value;
        }
      }
    }
    // The built-in text is what make-moon-tables writes today.
    EXPECT_EQ(*table, year_table_text(year));
  }
  EXPECT_FALSE(year_table(1998));
  EXPECT_FALSE(year_table(2006));
}

TEST(MoonYearTables, KnownRowsAreExact) {
  struct Row {
    int year, day;
    const char* values;
  };
  const Row rows[] = {
      {1999, 1, "0.98 1.00 0.98 1.00 1.00 0.97 0.96 0.87 0.72 0.63 0.45 0.39"},
      {1999, 31, "0.99 9.99 0.99 9.99 0.99 9.99 0.93 0.81 9.99 0.56 9.99 0.36"},
      {2000, 1, "0.27 0.18 0.25 0.15 0.13 0.03 0.01 0.01 0.09 0.12 0.21 0.22"},
      {2001, 1, "0.32 0.44 0.29 0.45 0.53 0.73 0.79 0.91 0.97 0.98 1.00 1.00"},
      {2002, 1, "0.97 0.87 0.96 0.85 0.81 0.69 0.66 0.54 0.41 0.37 0.21 0.15"},
      {2003, 1, "0.04 0.00 0.05 0.01 0.00 0.01 0.02 0.09 0.23 0.30 0.48 0.53"},
      {2004, 1, "0.65 0.75 0.67 0.78 0.81 0.93 0.97 1.00 0.95 0.93 0.86 0.85"},
      {2005, 1, "0.76 0.64 0.78 0.62 0.53 0.34 0.27 0.15 0.07 0.06 0.01 0.01"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.year) + " day " + std::to_string(r.day));
    const auto table = year_table(r.year);
    ASSERT_TRUE(table.has_value());
    std::string found;
    for (int month = 1; month <= 12; ++month)
      found += (month > 1 ? " " : "") + table_value(*table, r.day, month).value();
    EXPECT_EQ(found, r.values);
  }
}

TEST(MoonPictures, AllTwentyAreBuiltInAt50By50) {
  for (int n = 0; n < kMoonPictureCount; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(moon_picture_number(moon_picture_name(n)), n);
    const auto png = moon_picture_png(n);
    ASSERT_TRUE(png.has_value());
    ASSERT_GT(png->size(), 33u);
    EXPECT_EQ(png->substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png->substr(12, 4), "IHDR");
    const auto be32 = [&](std::size_t at) {
      unsigned v = 0;
      for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>((*png)[at + i]);
      return v;
    };
    EXPECT_EQ(be32(16), 50u);
    EXPECT_EQ(be32(20), 50u);
    EXPECT_EQ((*png)[25], 6);  // RGBA: clear outside the disc
  }
  EXPECT_FALSE(moon_picture_png(20));
  EXPECT_FALSE(moon_picture_number("GifImage00x"));
}

}  // namespace
}  // namespace cirrodex::moon
