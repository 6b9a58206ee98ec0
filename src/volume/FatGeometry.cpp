#include "volume/FatGeometry.h"

#include <vector>

#include "volume/FatLayout.h"
#include "volume/LittleEndian.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

// FAT tables beyond this cannot be real (FAT32 tops out near 1 GiB); a boot
// sector that claims more is damaged, and the table is not loaded.
constexpr int64_t kMaxFatBytes = int64_t(1) << 30;

void SetFloppyLayout(VolumeContext& volume, FatState& fat) {
  volume.FsKind = FsFloppy;
  volume.SectorPerCluster = 1;
  volume.BytesPerCluster = 512;
  volume.SectorCount = 2880;
  volume.ClusterCount = 2880;
  fat.ReservedSectors = 1;
  fat.FatCount = 2;
  fat.SectorsPerFat = 9;
  fat.FatBytes = int64_t(volume.BytesPerSector) * 9;
  fat.RootDirSectors = 14;
  fat.RootDirStart = 19;
  fat.RootCluster = 0;
}

// The rule that sets a FAT volume's kind: fewer than 4085 data clusters
// make it FAT12, counted from the boot sector's own fields.
bool HoldsFat12Table(const std::vector<uint8_t>& boot, const FatState& fat, int64_t bps, int64_t sectorsPerCluster) {
  int64_t total = ReadLE16(&boot[kFatBootTotalSectors16]);
  if (total == 0) total = ReadLE32(&boot[kFatBootTotalSectors32]);
  const int64_t rootSectors = (int64_t(ReadLE16(&boot[kFatBootRootEntries])) * kDirEntryBytes + bps - 1) / bps;
  const int64_t dataSectors = total - fat.ReservedSectors - fat.FatCount * fat.SectorsPerFat - rootSectors;
  constexpr int64_t kFat16LeastClusters = 4085;
  return dataSectors >= 0 && dataSectors / sectorsPerCluster < kFat16LeastClusters;
}

}  // namespace

bool ReadGeometryFAT(VolumeContext& volume, FatState& fat) {
  volume.BytesPerCluster = 0;
  volume.SectorPerCluster = 0;
  volume.SectorCount = 0;
  fat.Fat12 = false;

  std::vector<uint8_t> boot;
  if (!ReadBootSector(volume, boot)) return false;
  if (volume.DriveRoot.compare(QLatin1String("A:"), Qt::CaseInsensitive) == 0) {
    SetFloppyLayout(volume, fat);
    return true;
  }
  // An image answers every trial read at 512 bytes, so a volume formatted with
  // larger sectors is only told by its own field.
  const int fieldSectorSize = ReadLE16(&boot[kFatBootBytesPerSector]);
  if (fieldSectorSize == 1024 || fieldSectorSize == 2048 || fieldSectorSize == 4096)
    volume.BytesPerSector = fieldSectorSize;

  volume.SectorPerCluster = boot[kFatBootSectorsPerCluster];
  if (volume.SectorPerCluster == 0) return false;
  fat.ReservedSectors = ReadLE16(&boot[kFatBootReservedSectors]);
  fat.FatCount = boot[kFatBootFatCount];
  fat.SectorsPerFat = volume.FsKind == FsFat16 ? ReadLE16(&boot[kFatBootSectorsPerFat16])
                                                 : ReadLE32(&boot[kFatBootSectorsPerFat32]);
  fat.RootCluster = volume.FsKind == FsFat32 ? ReadLE32(&boot[kFatBootRootCluster]) : 0;
  volume.SectorCount = ReadLE32(&boot[kFatBootTotalSectors32]);
  fat.RootDirStart = fat.SectorsPerFat * fat.FatCount + fat.ReservedSectors;
  const int64_t bps = volume.BytesPerSector;
  if (volume.SectorCount == 0) {
    const int64_t perEntry = volume.FsKind == FsFat16 ? 4 : 8;  // estimate from the table's reach
    volume.SectorCount = bps * fat.SectorsPerFat * perEntry - fat.RootDirStart;
  }
  fat.RootDirSectors = int64_t(ReadLE16(&boot[kFatBootRootEntries])) * kDirEntryBytes / bps;
  if (fat.RootDirSectors == 0) fat.RootDirSectors = volume.SectorPerCluster;
  volume.BytesPerCluster = int64_t(volume.SectorPerCluster) * bps;
  volume.ClusterCount = volume.SectorCount / volume.SectorPerCluster;
  fat.FatBytes = bps * fat.SectorsPerFat;
  fat.Fat12 = volume.FsKind == FsFat16 && HoldsFat12Table(boot, fat, bps, volume.SectorPerCluster);
  return true;
}

int64_t FatClusterToSector(const VolumeContext& volume, const FatState& fat, int64_t cluster) {
  const int64_t first = (cluster - 2) * volume.SectorPerCluster + fat.RootDirStart;
  return volume.FsKind == FsFat32 ? first : first + fat.RootDirSectors;
}

bool LoadFatTable(const VolumeContext& volume, FatState& fat) {
  fat.FatTable.clear();
  if (fat.FatBytes <= 0 || fat.FatBytes > kMaxFatBytes) return false;
  fat.FatTable.resize(size_t(fat.FatBytes));
  return ReadSectors(volume, uint64_t(fat.ReservedSectors), fat.FatTable.data(), fat.FatBytes);
}

}  // namespace undelvo
