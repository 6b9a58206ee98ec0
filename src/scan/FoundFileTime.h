#pragma once
#include <QDateTime>
#include <QString>

#include "scan/UndelvoState.h"

namespace undelvo {

// The date and time behind a found file's listed date, in the volume's local
// time as recorded: the creation time of an NTFS record, the write time of a
// FAT entry, the creation (else modification) time of a Recycle Bin file.
// Invalid when the volume keeps none for it.
QDateTime FoundFileTime(ScanState& scan, const QString& entryValue);

// "2023-11-14T10:22:05", or empty text for an invalid time.
QString IsoDateTime(const QDateTime& time);

}  // namespace undelvo
