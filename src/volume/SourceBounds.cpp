#include "volume/SourceBounds.h"

#include <algorithm>

#include "platform/DriveTable.h"

namespace undelvo {

uint64_t SourceBytes(const VolumeContext& volume) {
  if (volume.Drives == nullptr) return 0;
  const DriveEntry* drive = volume.Drives->Find(volume.DriveRoot);
  return drive == nullptr ? 0 : drive->source.size;
}

bool BoundGeometryBySource(VolumeContext& volume, int64_t* mftStart) {
  if (volume.BytesPerSector <= 0 || volume.SectorPerCluster <= 0) return false;
  const uint64_t bytes = SourceBytes(volume);
  if (bytes == 0) return true;  // nothing known to hold the claims to
  const int64_t sectors = int64_t(std::min<uint64_t>(bytes / uint64_t(volume.BytesPerSector), uint64_t(INT64_MAX)));
  volume.SectorCount = std::clamp<int64_t>(volume.SectorCount, 0, sectors);
  volume.ClusterCount = std::clamp<int64_t>(volume.ClusterCount, 0, sectors / volume.SectorPerCluster);
  if (mftStart != nullptr && (*mftStart < 0 || *mftStart >= volume.ClusterCount)) *mftStart = 0;
  return volume.ClusterCount > 0;
}

}  // namespace undelvo
