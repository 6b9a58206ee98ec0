#include "found/EntryValue.h"

#include <limits>

namespace undelvo {

QString JoinEntryValue(const QString& locator, const QString& path, const QString& date, int64_t size) {
  return locator + QLatin1Char('#') + path + QLatin1Char('#') + date + QLatin1Char('#') + QString::number(size);
}

int64_t LeadingNumber(const QString& text) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t n = 0;
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
    const int digit = c.unicode() - '0';
    if (n > (kMax - digit) / 10) return kMax;
    n = n * 10 + digit;
  }
  return n;
}

EntryValue ParseEntryValue(const QString& value) {
  EntryValue e;
  const qsizetype first = value.indexOf(QLatin1Char('#'));
  if (first < 0) {
    e.locatorText = value;
  } else {
    e.locatorText = value.left(first);
    const qsizetype last = value.lastIndexOf(QLatin1Char('#'));
    const qsizetype beforeLast = last > first ? value.lastIndexOf(QLatin1Char('#'), last - 1) : -1;
    if (beforeLast > first) {
      e.path = value.mid(first + 1, beforeLast - first - 1);
      e.date = value.mid(beforeLast + 1, last - beforeLast - 1);
      e.sizeText = value.mid(last + 1);
    } else if (last > first) {  // only two separators: locator#path#date
      e.path = value.mid(first + 1, last - first - 1);
      e.date = value.mid(last + 1);
    } else {
      e.path = value.mid(first + 1);
    }
  }
  e.locator = LeadingNumber(e.locatorText);
  e.size = LeadingNumber(e.sizeText);
  return e;
}

}  // namespace undelvo
