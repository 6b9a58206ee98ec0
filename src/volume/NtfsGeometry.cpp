#include "volume/NtfsGeometry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/DriveTable.h"
#include "volume/GeometryCache.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

bool IsPowerOfTwo(int64_t v) { return v > 0 && (v & (v - 1)) == 0; }

QString VolumeIdOf(const VolumeContext& volume) {
  const DriveEntry* d = volume.Drives ? volume.Drives->Find(volume.DriveRoot) : nullptr;
  return d ? d->volumeId : QString();
}

// Takes the cached section only when it was made from this very boot sector:
// a clone or a crafted copy shares the serial number, not the sector.
bool UseCache(VolumeContext& volume, NtfsState& ntfs, const QString& cacheFile, const QString& bootChecksum) {
  CachedGeometry g;
  if (!ReadCachedGeometry(cacheFile, volume.DriveRoot, g) || !g.MadeFrom(VolumeIdOf(volume), bootChecksum))
    return false;
  if (g.BytesPerSector <= 0 || g.BytesPerCluster <= 0 || g.MFTStart <= 0 || g.SectorPerCluster <= 0 ||
      g.BytesPerSector > INT32_MAX || g.SectorPerCluster > INT32_MAX)
    return false;
  volume.BytesPerSector = int32_t(g.BytesPerSector);
  volume.SectorPerCluster = int32_t(g.SectorPerCluster);
  volume.BytesPerCluster = g.BytesPerCluster;
  volume.SectorCount = g.SectorCount;
  volume.ClusterCount = g.ClusterCount;
  ntfs.MFTStart = g.MFTStart;
  return true;
}

}  // namespace

bool ReadGeometryNTFS(VolumeContext& volume, NtfsState& ntfs, const QString& cacheFile) {
  volume.SectorPerCluster = 0;
  volume.BytesPerCluster = 0;
  volume.SectorCount = 0;
  ntfs.MFTStart = 0;
  std::vector<uint8_t> boot;
  if (!ReadBootSector(volume, boot)) return false;
  const QString bootChecksum = BootSectorChecksum(boot.data(), boot.size());
  if (UseCache(volume, ntfs, cacheFile, bootChecksum)) return true;

  const int bytesPerSector = ReadLE16(&boot[kNtfsBootBytesPerSector]);
  if (bytesPerSector < 512 || !IsPowerOfTwo(bytesPerSector)) return false;
  volume.BytesPerSector = bytesPerSector;

  // Clusters of 64 KiB and more store a negative power of two: 0xF4 is 2^12 sectors.
  const int code = boot[kNtfsBootSectorsPerCluster];
  int64_t sectorPerCluster = code == 0 ? 8 : code <= 0x80 ? code : int64_t(1) << std::min(256 - code, 40);
  if (int64_t(bytesPerSector) * sectorPerCluster > (int64_t(1) << 31)) return false;
  volume.SectorPerCluster = int32_t(sectorPerCluster);

  const uint64_t sectors = ReadLE64(&boot[kNtfsBootTotalSectors]);
  const uint64_t mftStart = ReadLE64(&boot[kNtfsBootMftCluster]);
  if (sectors > uint64_t(INT64_MAX) || mftStart == 0 || mftStart > uint64_t(INT64_MAX)) return false;
  volume.SectorCount = int64_t(sectors);
  volume.ClusterCount = volume.SectorCount / volume.SectorPerCluster;
  ntfs.MFTStart = int64_t(mftStart);
  volume.BytesPerCluster = int64_t(volume.SectorPerCluster) * volume.BytesPerSector;

  CachedGeometry g{volume.SectorPerCluster, volume.BytesPerCluster, volume.SectorCount, ntfs.MFTStart,
                   volume.BytesPerSector,   volume.ClusterCount,    VolumeIdOf(volume), bootChecksum};
  WriteCachedGeometry(cacheFile, volume.DriveRoot, g);  // a cache that cannot be written costs only speed
  return true;
}

}  // namespace undelvo
