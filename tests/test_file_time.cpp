// File times to local dates: the one-off conversion and the fast one the
// engines use for many files must agree, across midnight and a DST change.
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "found/FileTime.h"

using namespace undelvo;

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;
constexpr uint64_t kUnixEpoch = 116444736000000000ULL;

uint64_t FileTimeOfUtc(const QDateTime& utc) { return kUnixEpoch + uint64_t(utc.toSecsSinceEpoch()) * kTicksPerSecond; }

}  // namespace

TEST(FileTime, LocalDatesAgreeAcrossMidnightAndDaylightSaving) {
  if (!QTimeZone("Europe/Berlin").isValid()) GTEST_SKIP() << "no time zone data for Europe/Berlin (package tzdata)";
  const QByteArray oldTz = qgetenv("TZ");
  qputenv("TZ", "Europe/Berlin");
  tzset();

  const QDateTime lateUtc(QDate(2021, 6, 30), QTime(23, 30), Qt::UTC);  // 01:30 on July 1st in Berlin
  EXPECT_EQ(FileTimeToDate(FileTimeOfUtc(lateUtc)).date(), QDate(2021, 7, 1));
  EXPECT_EQ(FileTimeToDate(0), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));

  FileTimeDates dates;
  const uint64_t times[] = {
      0,
      kUnixEpoch,
      FileTimeOfUtc(lateUtc),
      FileTimeOfUtc(QDateTime(QDate(2021, 3, 27), QTime(22, 59), Qt::UTC)),  // the night the clocks go forward
      FileTimeOfUtc(QDateTime(QDate(2021, 3, 28), QTime(1, 0), Qt::UTC)),
      FileTimeOfUtc(QDateTime(QDate(2021, 10, 30), QTime(22, 30), Qt::UTC)),  // and back
      FileTimeOfUtc(QDateTime(QDate(1601, 1, 2), QTime(0, 0), Qt::UTC)),
      FileTimeOfUtc(lateUtc),  // the same day again after others
  };
  for (uint64_t t : times) EXPECT_EQ(dates.ShortDateOf(t), ShortDate(FileTimeToDate(t))) << t;
  // Beyond the calendar: today.
  EXPECT_EQ(dates.ShortDateOf(UINT64_MAX), ShortDate(QDateTime::currentDateTime()));

  if (oldTz.isNull()) qunsetenv("TZ");
  else qputenv("TZ", oldTz);
  tzset();
}
