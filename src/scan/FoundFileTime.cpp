#include "scan/FoundFileTime.h"

#include <QFileInfo>

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

QString IsoText(const QDate& date, const QTime& time) {
  if (!date.isValid() || !time.isValid() || date.year() < 0 || date.year() > 9999) return {};
  char text[] = "0000-00-00T00:00:00";
  PutDigits(text, date.year(), 4);
  PutDigits(text + 5, date.month(), 2);
  PutDigits(text + 8, date.day(), 2);
  PutDigits(text + 11, time.hour(), 2);
  PutDigits(text + 14, time.minute(), 2);
  PutDigits(text + 17, time.second(), 2);
  return QString::fromLatin1(text, 19);
}

}  // namespace

QString FoundFileTimes::IsoTimeOf(ScanState& scan, const QString& entryValue, const EntryValue& e) {
  if (e.IsRecycleBin()) {
    const QFileInfo file(e.path);
    const QDateTime t = file.birthTime().isValid() ? file.birthTime() : file.lastModified();
    return IsoText(t.date(), t.time());
  }
  if (!e.HasNumericLocator()) return {};
  if (scan.Volume.FsKind == FsNtfs) {
    const QDateTime t = dates_.LocalTimeOf(FoundRecordCreationTime(scan.Ntfs, e.locator));
    return IsoText(t.date(), t.time());
  }
  const auto t = scan.Fat.EntryTimes.constFind(entryValue);
  if (t == scan.Fat.EntryTimes.constEnd()) return {};
  // The entry's words are local time already: no time zone to ask.
  return IsoText(FatDate(t->date), FatTime(t->time));
}

}  // namespace undelvo
