#include "settings/DateTimeValue.h"

#include <cmath>

namespace undelvo {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

double ToDateTimeValue(const QDateTime& local) {
  const QDateTime t = local.toLocalTime();
  const double days = double(kEpoch.daysTo(t.date()));
  const double fraction = t.time().msecsSinceStartOfDay() / kMsPerDay;
  // Before the epoch the fraction still counts forward from midnight.
  return days >= 0 ? days + fraction : days - fraction;
}

QDateTime FromDateTimeValue(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return QDateTime::currentDateTime();
  const double whole = std::trunc(value);
  const double fraction = std::fabs(value - whole);
  const QDate date = kEpoch.addDays(qint64(whole));
  const QTime time = QTime::fromMSecsSinceStartOfDay(int(std::llround(fraction * kMsPerDay)) % 86400000);
  return QDateTime(date, time);
}

double DateTimeNow() { return ToDateTimeValue(QDateTime::currentDateTime()); }

}  // namespace undelvo
