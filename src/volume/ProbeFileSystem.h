#pragma once
#include <QString>
#include <cstdint>

#include "volume/VolumeContext.h"

namespace undelvo {

// The kind of file system on a drive ("C:", a trailing separator allowed):
// 16 FAT12/FAT16, 32 FAT32, 64 NTFS, 0 anything else. The name the system
// reports decides; when it names none of the three, the boot sector is read
// with sector sizes 512, 1024 ... 4096 and its markers decide, which also
// sets DriveRoot and BytesPerSector.
uint8_t ProbeFileSystem(VolumeContext& volume, const QString& drive);

// The kind that a boot sector's markers name: the OEM name at byte 3 ("NTFS"),
// the type field at byte 82 ("FAT32") and at byte 54 ("FAT12", "FAT16").
// When several match, NTFS wins over FAT32 and FAT32 over FAT.
uint8_t FsKindFromBootSector(const uint8_t* sector, int64_t size);

}  // namespace undelvo
