#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "fat/FatState.h"
#include "found/SaveFile.h"
#include "volume/ClusterExtent.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The clusters a restore of a file reads, in file order.
struct RestoreClusterList {
  bool chain = false;            // from the table's chain (else the contiguous method)
  std::vector<ClusterExtent> runs;  // consecutive clusters joined into one run
  int64_t bytes = 0;             // what the runs hold, up to the file's size
  bool mapped = false;           // the allocation table was consulted
  int64_t inUse = 0;             // listed clusters the table gives to a file now
};

// The clusters of the file with first cluster `first` and `size` bytes: the
// table's chain from `first` when it still holds one that fits the size;
// else, when the first cluster is free, it and the free clusters after it
// (entry 0) until the size is reached, passing over clusters the table gives
// to live files or marks bad, since the file was written around those; when
// a live file holds the first cluster (a later file wrote over this one from
// its start), the consecutive clusters from it. The walk ends at the
// volume's last cluster. A FAT12 volume (which the system names like FAT16)
// is read in 12-bit entries. Without a table to consult (none loaded, or a
// kind of volume the chain walks do not read) the consecutive clusters from
// `first` are taken.
RestoreClusterList RestoreClusters(const VolumeContext& volume, const FatState& fat, int64_t first, int64_t size,
                                   RunControl& run);

// Writes the found FAT file located by `entryValue` (first cluster and
// size) into the target folder under a free name ("A(1).TXT"), reading the
// clusters RestoreClusters lists; bytes the list does not reach (the volume
// ends first) and unreadable pieces are written as zeros so the rest keeps
// its place. A file written whole gets the write time its entry holds on
// the volume (fat.EntryTimes) as its modification time. Nothing is written
// when the value has no first cluster or size. Stops copying when the run
// is stopped.
RestoreOutcome RestoreFileFAT(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                              const RestoreTarget& target, RunControl& run);

// Whether the chain method applies: at least 2 clusters whose total is within
// one cluster of the size.
bool ChainFitsSize(size_t clusters, int64_t clusterBytes, int64_t size);

}  // namespace undelvo
