#include "scan/FoundFileTime.h"

#include <QFileInfo>
#include <algorithm>
#include <ctime>

#include "fat/FatDirectory.h"
#include "found/EntryValue.h"
#include "ntfs/FoundRecordTime.h"
#include "volume/VolumeContext.h"

namespace undelvo {

namespace {

// Written digit by digit: a formatted print per file costs more than the
// rest of the file's line.
void PutDigits(char* at, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) at[i] = char('0' + value % 10);
}

QString IsoText(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1 || year > 9999) return {};
  char text[] = "0000-00-00T00:00:00";
  PutDigits(text, year, 4);
  PutDigits(text + 5, month, 2);
  PutDigits(text + 8, day, 2);
  PutDigits(text + 11, hour, 2);
  PutDigits(text + 14, minute, 2);
  PutDigits(text + 17, second, 2);
  return QString::fromLatin1(text, 19);
}

QString IsoText(const QDate& date, const QTime& time) {
  if (!date.isValid() || !time.isValid()) return {};
  return IsoText(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

// A file time (100 ns since 1601, UTC) in local time. The C library keeps the
// zone it has read, where a QTimeZone lookup per file costs thousands of
// instructions.
QString IsoFileTime(uint64_t fileTime) {
  constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
  constexpr int64_t kTicksPerSecond = 10000000;
  if (fileTime == 0 || fileTime > uint64_t(INT64_MAX)) return {};
  int64_t ticks = int64_t(fileTime) - kUnixEpochAsFileTime;
  const int64_t seconds = ticks / kTicksPerSecond - (ticks % kTicksPerSecond < 0 ? 1 : 0);
  const time_t t = time_t(seconds);
  tm local{};
  if (::localtime_r(&t, &local) == nullptr) return {};
  return IsoText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                 std::min(local.tm_sec, 59));
}

}  // namespace

QString FoundFileIsoTime(ScanState& scan, const QString& entryValue, const EntryValue& e) {
  if (e.IsRecycleBin()) {
    const QFileInfo file(e.path);
    const QDateTime t = file.birthTime().isValid() ? file.birthTime() : file.lastModified();
    return IsoText(t.date(), t.time());
  }
  if (!e.HasNumericLocator()) return {};
  if (scan.Volume.FsKind == FsNtfs) {
    return IsoFileTime(FoundRecordCreationTime(scan.Ntfs, e.locator));
  }
  const auto t = scan.Fat.EntryTimes.constFind(entryValue);
  if (t == scan.Fat.EntryTimes.constEnd()) return {};
  // The entry's words are local time already: no time zone to ask.
  return IsoText(FatDate(t->date), FatTime(t->time));
}

}  // namespace undelvo
