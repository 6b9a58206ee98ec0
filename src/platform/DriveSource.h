#pragma once
#include <cstdint>
#include <string>

namespace undelvo {

// Where a drive's bytes live: a block device or an image file, and the byte
// range of the volume inside it. Everything reads through this, read-only.
struct DriveSource {
  std::string path;     // /dev/sdb1 or /path/to/disk.img
  uint64_t offset = 0;  // byte offset of the volume within path
  uint64_t size = 0;    // bytes of the volume; reads beyond it fail
};

}  // namespace undelvo
