#pragma once
#include "fat/FatState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Reads the FAT layout from the boot sector of the drive named by DriveRoot
// (FsKind holding the probe's 16 or 32): sector, cluster and table sizes, the
// root directory's place and the cluster count. "A:" gets the fixed 1.44 MB
// floppy layout and FsKind 12. False when no boot sector can be read or its
// sectors-per-cluster byte is 0.
bool ReadGeometryFAT(VolumeContext& volume, FatState& fat);

// The first sector of a cluster (no validation: clusters 0 and 1 give sectors
// before the data area).
int64_t FatClusterToSector(const VolumeContext& volume, const FatState& fat, int64_t cluster);

// Loads the first FAT copy into FatTable; false when it cannot be read or
// FatBytes is 0 or more than 1 GiB (a damaged boot sector).
bool LoadFatTable(const VolumeContext& volume, FatState& fat);

}  // namespace undelvo
