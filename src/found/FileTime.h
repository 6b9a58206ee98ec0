#pragma once
#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <QString>
#include <cstdint>

namespace undelvo {

// A file time (100-nanosecond intervals since 1601-01-01 UTC) in local time;
// 0 gives 1899-12-30 00:00, a time outside the calendar gives the current time.
QDateTime FileTimeToDate(uint64_t fileTime);

// A date in the user's short date format.
QString ShortDate(const QDateTime& dateTime);

// ShortDate(FileTimeToDate(t)) for many file times in a row. It keeps the
// system's time zone and locale and the last day's text, because asking the
// C library for local time costs a stat of /etc/localtime on every call.
class FileTimeDates {
 public:
  FileTimeDates();
  QString ShortDateOf(uint64_t fileTime);

 private:
  QTimeZone zone_;
  QLocale locale_;
  QDate lastDate_;
  QString lastText_;
};

}  // namespace undelvo
