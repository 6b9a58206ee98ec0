#include "found/FileTime.h"

#include <QLocale>

namespace undelvo {

QDateTime FileTimeToDate(uint64_t fileTime) {
  if (fileTime == 0) return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
  constexpr uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 as a file time
  constexpr uint64_t kLatest = 2650467743999999999ULL;    // 9999-12-31
  if (fileTime > kLatest) return QDateTime::currentDateTime();
  const int64_t ms = (int64_t(fileTime) - int64_t(kUnixEpoch)) / 10000;
  return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
}

QString ShortDate(const QDateTime& dateTime) {
  return QLocale::system().toString(dateTime.date(), QLocale::ShortFormat);
}

}  // namespace undelvo
