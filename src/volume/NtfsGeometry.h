#pragma once
#include <QString>
#include <cstdint>

#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Fills the volume's sector and cluster sizes, sector and cluster counts and
// the MFT's start cluster, from the geometry cache when it holds a usable
// section for this drive and volume, else from the boot sector (which is then
// cached). False when the boot sector cannot be read or does not make sense.
bool ReadGeometryNTFS(VolumeContext& volume, NtfsState& ntfs, const QString& cacheFile);

// The first sector of a cluster.
inline uint64_t ClusterToSector(const VolumeContext& volume, uint64_t cluster) {
  return cluster * uint64_t(volume.SectorPerCluster);
}

}  // namespace undelvo
