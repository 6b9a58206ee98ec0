#include "volume/ProbeFileSystem.h"

#include <cstring>
#include <vector>

#include "platform/DriveTable.h"
#include "volume/FatLayout.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

bool FieldHolds(const uint8_t* sector, int64_t size, int offset, int length, const char* marker) {
  if (offset + length > size) return false;
  const size_t n = std::strlen(marker);
  for (int i = 0; i + int(n) <= length; ++i)
    if (std::memcmp(sector + offset + i, marker, n) == 0) return true;
  return false;
}

}  // namespace

uint8_t FsKindFromBootSector(const uint8_t* sector, int64_t size) {
  uint8_t kind = FsNone;
  if (FieldHolds(sector, size, kFatBootFat16Type, kFatBootTypeBytes, kFatTypeMarker)) kind = FsFat16;
  if (FieldHolds(sector, size, kFatBootFat32Type, kFatBootTypeBytes, kFat32TypeMarker)) kind = FsFat32;
  if (FieldHolds(sector, size, kNtfsBootOemName, kNtfsBootOemNameBytes, kNtfsOemMarker)) kind = FsNtfs;
  return kind;
}

uint8_t ProbeFileSystem(VolumeContext& volume, const QString& drive) {
  if (drive.isEmpty()) return FsNone;
  const DriveEntry* entry = volume.Drives ? volume.Drives->Find(drive) : nullptr;
  const QString fsName = entry ? entry->fsName : QString();
  if (const int kind = FsKindFromName(fsName); kind != FsNone) return uint8_t(kind);

  // The system could not name it: look at the boot sector ourselves.
  volume.DriveRoot = drive;
  std::vector<uint8_t> sector;
  if (!ReadBootSector(volume, sector)) return FsNone;
  return FsKindFromBootSector(sector.data(), int64_t(sector.size()));
}

}  // namespace undelvo
