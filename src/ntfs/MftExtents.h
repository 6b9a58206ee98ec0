#pragma once
#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Reads the MFT's own record (record 0), takes the record size from its
// update sequence count and decodes the runs of its first data attribute
// into MFTExtents. False when the record cannot be read, is not a file
// record, or has no data attribute; the extent list may still be empty.
bool ReadMFTExtents(const VolumeContext& volume, NtfsState& ntfs);

}  // namespace undelvo
