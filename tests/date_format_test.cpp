// The desktop's date and time formats through QLocale: the long time format
// without its time zone, and the texts of two locales.
#include "platform/qt/qt_date_format.h"

#include <gtest/gtest.h>

namespace cirrodex {
namespace {

TEST(QtDateFormat, TheTimeZoneLeavesTheLongTimeFormat) {
  struct Row {
    const char* format;
    const char* without;
  };
  for (const Row& row : {Row{"h:mm:ss AP t", "h:mm:ss AP"}, Row{"HH:mm:ss t", "HH:mm:ss"},
                         Row{"tttt HH:mm:ss", "HH:mm:ss"}, Row{"HH 'h' mm 'min' ss 's' t", "HH 'h' mm 'min' ss 's'"},
                         Row{"'at' h:mm:ss", "'at' h:mm:ss"}, Row{"HH:mm:ss", "HH:mm:ss"}}) {
    EXPECT_EQ(time_format_without_zone(QString::fromLatin1(row.format)).toStdString(), row.without) << row.format;
  }
}

TEST(QtDateFormat, ShortDateAndLongTimeOfTwoLocales) {
  LocalDateTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 11;
  t.hour = 14;
  t.minute = 30;
  t.second = 5;
  QtDateFormat us(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(us.short_date(t), "12/11/26");
  EXPECT_EQ(us.long_time(t), "2:30:05 PM");
  QtDateFormat german(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(german.short_date(t), "11.12.26");
  EXPECT_EQ(german.long_time(t), "14:30:05");
}

}  // namespace
}  // namespace cirrodex
