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

// The chain in the entries of the volume's table: 12-bit entries on a FAT12
// volume (fat.Fat12), else as FollowChain16 or FollowChain32 by its kind.
void FollowChain(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                 RunControl& run);

// The table's entry of a cluster in 12, 16 or 32 bits (0 when it lies outside the table).
uint32_t FatEntry(const VolumeContext& volume, const FatState& fat, int64_t cluster);

// The entries that lie wholly inside the loaded table; 0 without one.
int64_t FatEntryCount(const VolumeContext& volume, const FatState& fat);

}  // namespace undelvo
