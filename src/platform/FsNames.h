#pragma once
#include <QString>

namespace undelvo {

// The file-system name the program shows and compares for a volume, from the
// type and version that libblkid (or udev, which uses it) reports:
// vfat FAT12/FAT16 -> "FAT", vfat FAT32 -> "FAT32", ntfs -> "NTFS", any other
// type its own name ("ext4", "exfat"). A vfat volume without a version counts
// as "FAT". An empty type gives an empty name.
QString FsNameFromProbe(const QString& type, const QString& version);

// True for the names of the file systems the program can scan.
bool IsScannableFsName(const QString& fsName);

}  // namespace undelvo
