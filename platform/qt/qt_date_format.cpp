#include "platform/qt/qt_date_format.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace cirrodex {
namespace {

// Latin-1, with the locale's special blanks (the narrow no-break space
// before "PM") as plain ones.
std::string latin1(QString s) {
  for (QChar& c : s)
    if (c.isSpace()) c = QLatin1Char(' ');
  const QByteArray bytes = s.toLatin1();
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

QString time_format_without_zone(const QString& format) {
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    out += c;
  }
  return out.simplified();
}

std::string QtDateFormat::short_date(const LocalDateTime& t) {
  return latin1(locale_.toString(QDate(t.year, t.month, t.day), QLocale::ShortFormat));
}

std::string QtDateFormat::long_time(const LocalDateTime& t) {
  return latin1(locale_.toString(QTime(t.hour, t.minute, t.second, t.millisecond),
                                 time_format_without_zone(locale_.timeFormat(QLocale::LongFormat))));
}

}  // namespace cirrodex
