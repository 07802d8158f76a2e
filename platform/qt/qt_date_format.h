#pragma once
// The desktop locale's short date and long time formats through QLocale.

#include <QLocale>
#include <QString>

#include "platform/date_format.h"

namespace cirrodex {

// Qt's long time format with its time-zone fields taken out (the zone is not
// part of a time of day): "h:mm:ss AP t" gives "h:mm:ss AP". Quoted text stays.
QString time_format_without_zone(const QString& format);

class QtDateFormat final : public DateFormat {
 public:
  // The desktop's locale unless told otherwise.
  explicit QtDateFormat(const QLocale& locale = QLocale::system()) : locale_(locale) {}
  std::string short_date(const LocalDateTime& t) override;
  std::string long_time(const LocalDateTime& t) override;

 private:
  QLocale locale_;
};

}  // namespace cirrodex
