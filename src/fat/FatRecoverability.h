#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/Recoverability.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The clusters a restore reads of the found FAT file recorded as
// `entryValue` (first cluster and size), as RestoreClusters lists them, each
// checked against the allocation table, with the entry's write time. The
// clusters the restore cannot reach (the volume ends first, no first
// cluster) count as lost. An empty file has nothing to read; without a table
// the clusters are not mapped.
FileClusters FatFileClusters(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                             RunControl& run);

}  // namespace undelvo
