#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>

namespace undelvo {

// The geometry of one volume as the cache file keeps it, one section per
// drive letter ("C:"), with the checksum of the boot sector it was read from:
// a later scan of that drive takes it only for the same boot sector, byte
// for byte, never for another volume that shares its serial number.
struct CachedGeometry {
  int64_t SectorPerCluster = 0;
  int64_t BytesPerCluster = 0;
  int64_t SectorCount = 0;
  int64_t MFTStart = 0;
  int64_t BytesPerSector = 0;
  int64_t ClusterCount = 0;
  QString VolumeId;      // the volume the section describes
  QString BootChecksum;  // BootSectorChecksum of its boot sector; empty in a section older versions wrote

  // Whether the section was made from this volume and boot sector; one
  // without a checksum never answers.
  bool MadeFrom(const QString& volumeId, const QString& bootChecksum) const {
    return VolumeId == volumeId && !BootChecksum.isEmpty() &&
           BootChecksum.compare(bootChecksum, Qt::CaseInsensitive) == 0;
  }
};

// The checksum a section keeps of a boot sector: 64-bit FNV-1a of its first
// 512 bytes (every field the geometry is read from), as 16 hex digits; empty
// when fewer bytes are given.
QString BootSectorChecksum(const uint8_t* boot, size_t size);

// The cache file in the user's settings folder.
QString DefaultGeometryCacheFile();

// The section of `drive`, if the file has one (missing or non-numeric values read as 0).
bool ReadCachedGeometry(const QString& file, const QString& drive, CachedGeometry& out);

// Writes the section of `drive`: added when absent, replaced when it
// describes another volume or boot sector (or keeps no checksum), left alone
// otherwise. The file is replaced atomically.
bool WriteCachedGeometry(const QString& file, const QString& drive, const CachedGeometry& geometry);

}  // namespace undelvo
