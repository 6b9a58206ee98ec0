#pragma once
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FsProbe.h"

namespace undelvo {

// One partition of an MBR or GPT table, in bytes from the start of the disk.
struct PartitionSpan {
  int number = 0;  // the partition number libblkid gives (1-based; logical ones from 5)
  uint64_t offset = 0;
  uint64_t size = 0;
};

struct PartitionLayout {
  bool hasTable = false;  // a partition table was found at the start
  QString tableType;      // "dos", "gpt", ...
  std::vector<PartitionSpan> partitions;  // extended-partition containers left out
};

// Reads the partition table of an open disk or image of containerSize bytes.
// Partitions that start beyond the end are left out; the others are cut to
// the end. A bare FAT or NTFS volume (whose boot sector also ends in 55 AA) is
// not taken for a partition table.
PartitionLayout ReadPartitionLayout(int fd, uint64_t containerSize);

// The size in bytes of an open regular file or block device; 0 for anything else.
uint64_t ContainerSize(int fd);

// A volume found in a disk or image: a partition, or the whole container when
// it has no partition table.
struct VolumeCandidate {
  uint64_t offset = 0;
  uint64_t size = 0;
  QString sourceLabel;  // the path, with "#N" for partition N
  FsProbeResult fs;
};

// The volumes of an open disk or image at path: one per partition when it has
// a partition table, else the whole of it. Each one's file system is probed;
// every candidate is returned, whatever it holds.
std::vector<VolumeCandidate> VolumesInContainer(int fd, const std::string& path,
                                                uint64_t containerSize);

}  // namespace undelvo
