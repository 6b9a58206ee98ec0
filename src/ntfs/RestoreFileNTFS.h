#pragma once
#include <QString>
#include <cstdint>

#include "ntfs/NtfsState.h"
#include "ntfs/Unit0NTFS.h"
#include "scan/ScanHooks.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Fills `file` with the content description of the record at byte `locator`
// of MFTBuffer: size, resident bytes or data runs (up to the first sparse
// run). False when the locator or the record is out of bounds or damaged.
bool ParseMFTRecord(NtfsState& ntfs, int64_t locator, TMFTFile& file);

// Writes the content of the found file `name` (located by `entryValue`) into
// `saveFolder`, cut to its exact size, under a free name ("report(1).doc"),
// or under `fallbackName` when the folder rejects the name. Never replaces a
// file, never writes outside the folder. False when nothing was written;
// `written` gets the path of the output, `error` the system's error number
// when the file could not be created or written (a full disk), else 0.
bool RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& name, const QString& entryValue,
                     const QString& saveFolder, const uint8_t& busy, ScanHooks& hooks, QString* written = nullptr,
                     const QString& fallbackName = {}, int* error = nullptr);

}  // namespace undelvo
