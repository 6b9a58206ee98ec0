#pragma once
#include <QString>

#include "found/EntryValue.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The date and time behind a found file's listed date, in the volume's local
// time as recorded, as ISO 8601 text ("2023-11-14T10:22:05"): the creation
// time of an NTFS record, the write time of a FAT entry, the creation (else
// modification) time of a Recycle Bin file. Of the file recorded with
// `entryValue` (`e` is that value parsed); empty text when the volume keeps
// no time for it.
QString FoundFileIsoTime(ScanState& scan, const QString& entryValue, const EntryValue& e);

}  // namespace undelvo
