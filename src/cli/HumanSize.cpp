#include "cli/HumanSize.h"

namespace undelvo {

QString HumanSize(uint64_t bytes) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  if (bytes < 1024) return QStringLiteral("%1 B").arg(bytes);
  double value = double(bytes) / 1024.0;
  int unit = 0;
  while (value >= 1024.0 && unit < 5) {
    value /= 1024.0;
    ++unit;
  }
  return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(kUnits[unit]));
}

}  // namespace undelvo
