#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "found/SaveFile.h"
#include "ntfs/NtfsState.h"
#include "ntfs/Unit0NTFS.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Fills `file` with the content description of the record at byte `locator`
// of MFTBuffer: whether it has data, its size, resident bytes or data runs
// (holes included) with the compression unit of a compressed stream, and the
// modification time. False when the locator or the record is out of bounds
// or damaged.
bool ParseMFTRecord(NtfsState& ntfs, int64_t locator, TMFTFile& file);

// Receives a file's content piece by piece; false stops the reading.
using ContentSink = std::function<bool(const uint8_t* bytes, size_t size)>;

// A run a restore may read: a hole, or clusters that all lie on the volume.
// A run beyond the volume is a damaged or crafted claim: reading it would
// write zeros for as long as it claims, terabytes on a stick of megabytes.
bool UsableRun(const FileRun& run, const VolumeContext& volume);

// Hands the first `size` bytes of a parsed non-resident file to `sink`, in
// file order: the clusters of its runs (zeros where unreadable, so the rest
// keeps its place), a hole as zeros, a compressed stream decompressed unit by
// unit. Ends early at the end of the runs, at a damaged run (one without a
// place on the volume), when `sink` says stop or when `run` (none for null)
// is stopped. Returns the bytes handed on.
int64_t ReadNtfsContent(const VolumeContext& volume, const TMFTFile& file, int64_t size, RunControl* run,
                        const ContentSink& sink);

// Writes the content of the found file located by `entryValue` (a record of
// the last scan's MFTBuffer) into the target folder, cut to its exact size,
// under a free name ("report(1).doc"): holes as zeros, compressed streams
// decompressed, an empty file as an empty file. Never replaces a file, never
// writes outside the folder. Unreadable clusters are written as zeros so the
// rest keeps its place. Stops copying when the run is stopped. A file written
// whole takes the record's modification time.
RestoreOutcome RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& entryValue,
                               const RestoreTarget& target, RunControl& run);

}  // namespace undelvo
