#pragma once
#include <QByteArray>
#include <cstdint>

#include "fat/FatState.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The bytes the preview shows of a FAT16 or FAT32 file from its first
// cluster and size: the clusters a restore of it would read (the table's
// chain when it still holds one that fits the size, else the free clusters
// from the first on, passing over live files' clusters: RestoreClusters),
// only the first 2 clusters unless `wholeFile`, cut at the size and at
// `limit` bytes. Unreadable clusters come as zeros so the rest keeps its
// place. Empty without a first cluster or size, and on other volumes (FAT12).
// The chain walk lets events through `run`; no run need be going on.
QByteArray PreviewFAT(const VolumeContext& volume, const FatState& fat, int64_t first, int64_t size, bool wholeFile,
                      int64_t limit, RunControl& run);

}  // namespace undelvo
