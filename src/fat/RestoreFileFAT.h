#pragma once
#include <QString>

#include "fat/FatState.h"
#include "scan/ScanHooks.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Writes the found FAT file `name` (first cluster and size from `entryValue`)
// into `saveFolder` under a free name ("A(1).TXT"), or `fallbackName` when
// the folder rejects the name. The clusters come from the table's chain when
// it still holds one that fits the size, else from the consecutive clusters
// after the first (where a deleted file's data most often lies). Unreadable
// pieces are written as zeros so the rest keeps its place. False when the
// value has no first cluster or size, or no file could be created or
// written; `error` gets the system's error number of the latter, else 0.
bool RestoreFileFAT(const VolumeContext& volume, const FatState& fat, const QString& name, const QString& entryValue,
                    const QString& saveFolder, const uint8_t& busy, ScanHooks& hooks, QString* written = nullptr,
                    const QString& fallbackName = {}, int* error = nullptr);

// Whether the chain method applies: at least 2 clusters whose total is within
// one cluster of the size.
bool ChainFitsSize(size_t clusters, int64_t clusterBytes, int64_t size);

}  // namespace undelvo
