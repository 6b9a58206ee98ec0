#pragma once
#include <QString>
#include <cstdint>

namespace undelvo {

// The geometry of one volume as the cache file keeps it, one section per
// drive letter ("C:"), so a later scan of that drive needs no boot-sector read.
struct CachedGeometry {
  int64_t SectorPerCluster = 0;
  int64_t BytesPerCluster = 0;
  int64_t SectorCount = 0;
  int64_t MFTStart = 0;
  int64_t BytesPerSector = 0;
  int64_t ClusterCount = 0;
  QString VolumeId;  // the volume the section describes
};

// The cache file in the user's settings folder.
QString DefaultGeometryCacheFile();

// The section of `drive`, if the file has one (missing or non-numeric values read as 0).
bool ReadCachedGeometry(const QString& file, const QString& drive, CachedGeometry& out);

// Writes the section of `drive`: added when absent, replaced when it
// describes another volume, left alone otherwise. The file is replaced atomically.
bool WriteCachedGeometry(const QString& file, const QString& drive, const CachedGeometry& geometry);

}  // namespace undelvo
