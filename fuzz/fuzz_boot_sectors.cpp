// The boot-sector readers on the start of a disk or volume image: the file
// system's kind from its markers, the probe, the NTFS geometry (read from the
// boot sector, then once more from the cache it wrote, which must agree), the
// MFT's map from record 0, the FAT geometry with its table and a chain walk,
// and the image's partitions as the drive list reads them.
#include <vector>

#include "FuzzSupport.h"
#include "fat/FatState.h"
#include "fat/Unit0FAT.h"
#include "ntfs/MftExtents.h"
#include "platform/ImageVolumes.h"
#include "volume/FatGeometry.h"
#include "volume/NtfsGeometry.h"
#include "volume/ProbeFileSystem.h"

using namespace undelvo;

namespace {

bool SameGeometry(const VolumeContext& a, const NtfsState& na, const VolumeContext& b, const NtfsState& nb) {
  return a.BytesPerSector == b.BytesPerSector && a.SectorPerCluster == b.SectorPerCluster &&
         a.BytesPerCluster == b.BytesPerCluster && a.SectorCount == b.SectorCount &&
         a.ClusterCount == b.ClusterCount && na.MFTStart == nb.MFTStart;
}

void ReadNtfs(const DriveEntry& drive, const std::string& cache) {
  const QString cacheFile = QString::fromStdString(cache);
  fuzz::RemoveTree(cache);
  fuzz::ImageVolume v(drive);
  v.ctx.FsKind = FsNtfs;
  if (!ReadGeometryNTFS(v.ctx, v.ntfs, cacheFile)) return;
  fuzz::ImageVolume again(drive);
  again.ctx.FsKind = FsNtfs;
  if (ReadGeometryNTFS(again.ctx, again.ntfs, cacheFile) && !SameGeometry(v.ctx, v.ntfs, again.ctx, again.ntfs))
    fuzz::Fail("the cached NTFS geometry differs from the boot sector's");
  ReadMFTExtents(v.ctx, v.ntfs);
}

void ReadFat(const DriveEntry& drive, uint8_t kind) {
  fuzz::ImageVolume v(drive);
  v.ctx.FsKind = kind;
  FatState fat;
  if (!ReadGeometryFAT(v.ctx, fat)) return;
  FatClusterToSector(v.ctx, fat, 2);
  if (!LoadFatTable(v.ctx, fat)) return;
  fuzz::BegunRun run;
  std::vector<int64_t> chain;
  FollowChain(v.ctx, fat, fat.RootCluster >= 2 ? fat.RootCluster : 2, chain, run);
  FatEntryCount(v.ctx, fat);
}

void ReadVolume(const DriveEntry& drive, const std::string& cache) {
  fuzz::ImageVolume probe(drive);
  const uint8_t kind = ProbeFileSystem(probe.ctx, QStringLiteral("C:"));
  if (kind == FsNtfs) ReadNtfs(drive, cache);
  if (kind == FsFat16 || kind == FsFat32) ReadFat(drive, kind);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FsKindFromBootSector(data, int64_t(size));

  const std::string image = fuzz::ScratchPath("boot.img");
  const std::string cache = fuzz::ScratchPath("geometry.ini");
  if (!fuzz::WriteImage(image, data, size)) return 0;
  // The image as one volume the system could not name, then each volume the
  // drive list finds in it (partitions of an MBR or GPT table).
  ReadVolume(fuzz::ImageDrive(image, 0, size), cache);
  QString error;
  for (DriveEntry d : ListImageVolumes(image, &error)) {
    d.letter = QStringLiteral("C:");
    ReadVolume(d, cache);
  }
  return 0;
}
