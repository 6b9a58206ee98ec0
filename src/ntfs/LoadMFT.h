#pragma once
#include <cstdint>

#include "ntfs/NtfsState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The most bytes of MFT to hold in memory for an MFT of `mftBytes` when
// `available` bytes are free: 512 MiB, or all but 200 MiB of the free memory
// when that is more; when the MFT exceeds the free memory, all but 200 MiB
// of it, and 128 MiB when even that is not left.
int64_t MftMemoryBudget(int64_t mftBytes, uint64_t available);

// Reads the MFT along MFTExtents into MFTBuffer. Extents that are empty,
// start before cluster 0 or past the volume's clusters, or are longer than
// the volume are dropped first; an MFT over the budget has its longest
// extent shortened. Each extent is read whole where the device
// allows, else in the largest equal chunks it accepts; what cannot be read
// stays zero. Stops between chunks when the run is stopped.
void LoadMFT(const VolumeContext& volume, NtfsState& ntfs, RunControl& run, ProgressSink& progress,
             uint64_t availableMemory);

}  // namespace undelvo
