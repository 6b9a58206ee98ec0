#pragma once
#include <cstdint>

#include "found/Recoverability.h"
#include "ntfs/NtfsBitmap.h"
#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The clusters a restore reads of the found file whose record lies at byte
// `locator` of MFTBuffer: those its runs give up to its size (a compressed
// stream's whole compression units), each checked against the cluster
// bitmap, with the record's modification time. Holes are intact; clusters
// the runs do not reach, or that lie past the volume, are not. Resident data
// and empty files have nothing to read. Not mapped when the record cannot be
// parsed or no bitmap was read.
FileClusters NtfsFileClusters(const VolumeContext& volume, NtfsState& ntfs, const ClusterBitmap& bitmap,
                              int64_t locator);

}  // namespace undelvo
