#pragma once
#include <QStringList>
#include <vector>

#include "platform/DriveTable.h"

namespace undelvo {

// The FAT and NTFS volumes on the machine's block devices (disks and
// partitions, from udev's "block" subsystem), in udev's order, with no letter
// and no mount point yet. The file system comes from udev's properties, which
// need no rights; where udev has no record of a device (no udev database, as
// in a container) the device is probed with libblkid when it can be opened
// for reading, and skipped silently when it cannot. A whole disk that holds a
// partition table the kernel has not split into partitions (a loop device
// attached without partition scanning) gives one volume per partition, named
// "/dev/loop0#N". volumeId is the file-system UUID, or the source label when
// the volume has none. `refused`, when given, receives the devices that had
// to be probed but may not be read by this user.
std::vector<DriveEntry> ListBlockDeviceVolumes(QStringList* refused = nullptr);

}  // namespace undelvo
