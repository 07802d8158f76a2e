#include "platform/qt/qt_date_format.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace cirrodex {
namespace {

std::string latin1(const QString& s) {
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
  return latin1(QLocale::system().toString(QDate(t.year, t.month, t.day), QLocale::ShortFormat));
}

std::string QtDateFormat::long_time(const LocalDateTime& t) {
  const QLocale locale = QLocale::system();
  return latin1(locale.toString(QTime(t.hour, t.minute, t.second, t.millisecond),
                                time_format_without_zone(locale.timeFormat(QLocale::LongFormat))));
}

}  // namespace cirrodex
