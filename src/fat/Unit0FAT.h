#pragma once
#include <cstdint>
#include <vector>

#include "fat/FatState.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The chain of clusters from `first` in FatTable, first cluster first: 2-byte
// entries (FollowChain16) or 4-byte entries with the top 4 bits ignored
// (FollowChain32). Empty when `first` lies outside the table or beyond
// ClusterCount. The walk ends at a free entry, an end-of-chain mark, an entry
// outside the table or the volume, a cluster met before (a damaged table can
// loop), or after ClusterCount clusters.
void FollowChain16(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                   RunControl& run);
void FollowChain32(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                   RunControl& run);

// FollowChain16 or FollowChain32 by the volume's kind; nothing on FAT12.
void FollowChain(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                 RunControl& run);

// The table's entry of a cluster (0 when it lies outside the table).
uint32_t FatEntry(const VolumeContext& volume, const FatState& fat, int64_t cluster);

}  // namespace undelvo
