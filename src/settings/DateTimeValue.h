#pragma once
#include <QDateTime>

namespace undelvo {

// Date-times as the settings store them: days since 1899-12-30 00:00 local
// time, the fraction being the time of day.
double ToDateTimeValue(const QDateTime& local);
QDateTime FromDateTimeValue(double value);
double DateTimeNow();

}  // namespace undelvo
