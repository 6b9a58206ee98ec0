#pragma once
#include <QString>
#include <cstdint>

namespace undelvo {

struct DriveTable;

// File-system kinds as the engines name them.
enum : uint8_t { FsNone = 0, FsFloppy = 12, FsFat16 = 16, FsFat32 = 32, FsNtfs = 64 };

// The selected drive and its geometry. One per state object; the scan runs
// set DriveRoot, the probe and the geometry readers fill in the rest.
struct VolumeContext {
  QString DriveRoot;               // "C:"
  int32_t BytesPerSector = 0;      // 0 until a probe or geometry read sets it
  uint8_t FsKind = FsNone;
  int32_t SectorPerCluster = 0;
  int64_t BytesPerCluster = 0;
  int64_t SectorCount = 0;
  int64_t ClusterCount = 0;
  // The drives DriveRoot is looked up in; owned by whoever owns this context.
  const DriveTable* Drives = nullptr;
};

}  // namespace undelvo
