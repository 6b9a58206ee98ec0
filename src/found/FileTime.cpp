#include "found/FileTime.h"

#include <QLocale>

namespace undelvo {

namespace {

constexpr uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 as a file time
constexpr uint64_t kLatest = 2650467743999999999ULL;    // 9999-12-31

int64_t MsSinceUnixEpoch(uint64_t fileTime) { return (int64_t(fileTime) - int64_t(kUnixEpoch)) / 10000; }

}  // namespace

QDateTime FileTimeToDate(uint64_t fileTime) {
  if (fileTime == 0) return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
  if (fileTime > kLatest) return QDateTime::currentDateTime();
  return QDateTime::fromMSecsSinceEpoch(MsSinceUnixEpoch(fileTime), Qt::UTC).toLocalTime();
}

FileTimeDates::FileTimeDates() : zone_(QTimeZone::systemTimeZone()), locale_(QLocale::system()) {}

QString FileTimeDates::ShortDateOf(uint64_t fileTime) {
  QDate date;
  if (fileTime == 0) date = QDate(1899, 12, 30);
  else if (fileTime > kLatest) date = QDate::currentDate();
  else date = QDateTime::fromMSecsSinceEpoch(MsSinceUnixEpoch(fileTime), zone_).date();
  if (date != lastDate_ || lastText_.isEmpty()) {
    lastDate_ = date;
    lastText_ = locale_.toString(date, QLocale::ShortFormat);
  }
  return lastText_;
}

QString ShortDate(const QDateTime& dateTime) {
  return QLocale::system().toString(dateTime.date(), QLocale::ShortFormat);
}

}  // namespace undelvo
