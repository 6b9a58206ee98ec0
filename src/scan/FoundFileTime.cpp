#include "scan/FoundFileTime.h"

#include <QFileInfo>

#include "fat/FatDirectory.h"
#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "ntfs/FoundRecordTime.h"
#include "volume/VolumeContext.h"

namespace undelvo {

QDateTime FoundFileTime(ScanState& scan, const QString& entryValue) {
  const EntryValue e = ParseEntryValue(entryValue);
  if (e.IsRecycleBin()) {
    const QFileInfo file(e.path);
    return file.birthTime().isValid() ? file.birthTime() : file.lastModified();
  }
  if (!e.HasNumericLocator()) return {};
  if (scan.Volume.FsKind == FsNtfs) {
    const uint64_t created = FoundRecordCreationTime(scan.Ntfs, e.locator);
    return created == 0 ? QDateTime() : FileTimeToDate(created);
  }
  const auto time = scan.Fat.EntryTimes.constFind(entryValue);
  return time == scan.Fat.EntryTimes.constEnd() ? QDateTime() : FatLocalTime(time->date, time->time);
}

QString IsoDateTime(const QDateTime& time) {
  return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

}  // namespace undelvo
