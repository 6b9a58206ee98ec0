#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "platform/DriveSource.h"

namespace undelvo {

// One drive as the program lists it: a FAT or NTFS volume on a block device
// or inside an attached image, under a letter from C: on.
struct DriveEntry {
  QString letter;       // "C:"; empty when C: to Z: are all taken by others
  QString fsName;       // "FAT", "FAT32", "NTFS", another system's name, or empty
  DriveSource source;
  QString sourceLabel;  // "/dev/sdb1", "/path/disk.img" or "/path/disk.img#1"
  bool removable = false;
  QString volumeId;     // file-system UUID or serial; the source label when none
  QString mountPoint;   // where the volume is mounted, empty when it is not
};

// The file-system kind that a file-system name stands for: 16, 32, 64 or 0.
int FsKindFromName(const QString& fsName);

// The other way: "FAT", "FAT32", "NTFS", or empty text for any other kind.
QString FsNameFromKind(int kind);

struct DriveTableOptions {
  std::vector<std::string> images;   // image files given by the user, in order
  bool includeBlockDevices = true;   // list the machine's block devices too
  QString settingsFolder;            // where the remembered letters live
};

struct DriveTable {
  std::vector<DriveEntry> drives;    // in letter order, then those without a letter
  QStringList errors;                // one line per image that could not be read
  QStringList notes;                 // what the user should know of the list (volumes without a letter)
  QStringList refusedDevices;        // block devices this user may not read (no root, not in `disk`)

  // The drive named by a letter such as "C:" (a trailing "\" or "/" is
  // allowed); never one without a letter.
  const DriveEntry* Find(const QString& drive) const;
};

// Lists the FAT/NTFS volumes of the machine's block devices and of the given
// images (MBR and GPT partitions expanded) and gives each its letter.
DriveTable BuildDriveTable(const DriveTableOptions& options);

}  // namespace undelvo
