#pragma once
#include <QString>

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The date and time behind found files' listed dates, in the volume's local
// time as recorded, as ISO 8601 text ("2023-11-14T10:22:05"): the creation
// time of an NTFS record, the write time of a FAT entry, the creation (else
// modification) time of a Recycle Bin file. It keeps the system's time zone
// for a whole list: asking for it per file would cost more than the scan.
class FoundFileTimes {
 public:
  // Of the file recorded with `entryValue` (`e` is that value parsed); empty
  // text when the volume keeps no time for it.
  QString IsoTimeOf(ScanState& scan, const QString& entryValue, const EntryValue& e);

 private:
  FileTimeDates dates_;
};

}  // namespace undelvo
