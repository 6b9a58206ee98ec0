#pragma once
#include <cstdint>
#include <vector>

#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The volume's cluster bitmap: one bit per cluster, set while a file holds
// the cluster. Empty when it could not be read.
struct ClusterBitmap {
  std::vector<uint8_t> bits;
  int64_t clusters = 0;  // clusters the bits cover

  bool Loaded() const { return clusters > 0; }
  // Clusters of `count` from `start` that are marked in use or lie outside
  // the bitmap (a run past the volume's end has no intact clusters).
  int64_t CountNotFree(int64_t start, int64_t count) const;
};

// Reads the bitmap from the MFT's record 6 ("$Bitmap"), at most one bit per
// cluster of the volume. Empty (and false) when the record or its data
// cannot be read.
bool LoadClusterBitmap(const VolumeContext& volume, const NtfsState& ntfs, ClusterBitmap& out);

}  // namespace undelvo
