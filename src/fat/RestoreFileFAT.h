#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/SaveFile.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Writes the found FAT file located by `entryValue` (first cluster and
// size) into the target folder under a free name ("A(1).TXT"). The clusters
// come from the table's chain when it still holds one that fits the size,
// else from the consecutive clusters after the first (where a deleted
// file's data most often lies). Unreadable pieces are written as zeros so
// the rest keeps its place. Nothing is written when the value has no first
// cluster or size. Stops copying when the run is stopped.
RestoreOutcome RestoreFileFAT(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                              const RestoreTarget& target, RunControl& run);

// Whether the chain method applies: at least 2 clusters whose total is within
// one cluster of the size.
bool ChainFitsSize(size_t clusters, int64_t clusterBytes, int64_t size);

}  // namespace undelvo
