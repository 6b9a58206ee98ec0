#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

#include "platform/DriveTable.h"

namespace undelvo {

// One line of /proc/self/mountinfo, with the escapes (\040 for a space and so
// on) undone.
struct MountRecord {
  unsigned major = 0;
  unsigned minor = 0;
  QString root;        // the folder of the file system mounted there ("/" for all of it)
  QString mountPoint;
  QString fsType;
  QString source;      // "/dev/sdb1", or whatever the mount names
};

// Parses the text of a mountinfo file; malformed lines are skipped.
std::vector<MountRecord> ParseMountInfo(const QByteArray& text);

// Undoes the octal escapes (backslash and three octal digits) of a mountinfo field.
QString UnescapeMountField(const QByteArray& field);

// Where a drive's volume is mounted, empty when it is not (or when that
// cannot be told). A block device is found by its device number, or by name
// for FUSE mounts (ntfs-3g) that show the device as their source. An image is
// found through the loop devices backed by it (the loop's offset, plus a
// partition's start for a partition of a loop device, must match the drive's
// offset), or by name when the image itself is the source of a mount.
QString MountPointOf(const DriveEntry& drive, const std::vector<MountRecord>& mounts);

// As above, reading /proc/self/mountinfo.
QString MountPointOf(const DriveEntry& drive);

// The mount table of this process: /proc/self/mountinfo parsed.
std::vector<MountRecord> ReadMountTable();

}  // namespace undelvo
