#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace undelvo {

// A file time (100-nanosecond intervals since 1601-01-01 UTC) in local time;
// 0 gives 1899-12-30 00:00, a time outside the calendar gives the current time.
QDateTime FileTimeToDate(uint64_t fileTime);

// A date in the user's short date format.
QString ShortDate(const QDateTime& dateTime);

}  // namespace undelvo
