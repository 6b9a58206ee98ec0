#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace undelvo {

// What libblkid finds in a byte range of a file or device.
struct FsProbeResult {
  QString fsName;  // as FsNameFromProbe gives it; empty when nothing was found
  QString uuid;    // file-system UUID or serial, empty when it has none
  QString label;   // volume label, empty when it has none
};

// Probes the file system of the bytes [offset, offset + size) of an already
// open file or device (size 0: to its end). Nothing is written.
FsProbeResult ProbeFsAtFd(int fd, uint64_t offset, uint64_t size);

// Opens path read-only and probes as above. Empty when the open fails.
std::optional<FsProbeResult> ProbeFsAt(const std::string& path, uint64_t offset,
                                       uint64_t size);

}  // namespace undelvo
