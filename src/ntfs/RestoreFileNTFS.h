#pragma once
#include <QString>
#include <cstdint>

#include "found/SaveFile.h"
#include "ntfs/NtfsState.h"
#include "ntfs/Unit0NTFS.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Fills `file` with the content description of the record at byte `locator`
// of MFTBuffer: size, resident bytes or data runs (up to the first sparse
// run). False when the locator or the record is out of bounds or damaged.
bool ParseMFTRecord(NtfsState& ntfs, int64_t locator, TMFTFile& file);

// Writes the content of the found file located by `entryValue` (a record of
// the last scan's MFTBuffer) into the target folder, cut to its exact size,
// under a free name ("report(1).doc"). Never replaces a file, never writes
// outside the folder. Unreadable clusters are written as zeros so the rest
// keeps its place. Stops copying when the run is stopped.
RestoreOutcome RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& entryValue,
                               const RestoreTarget& target, RunControl& run);

}  // namespace undelvo
