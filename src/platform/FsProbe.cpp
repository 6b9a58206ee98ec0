#include "platform/FsProbe.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/FsNames.h"

namespace undelvo {

namespace {

QString LookUp(blkid_probe pr, const char* name) {
  const char* value = nullptr;
  size_t len = 0;
  if (blkid_probe_lookup_value(pr, name, &value, &len) != 0 || value == nullptr) return {};
  // len counts the terminating NUL.
  return QString::fromUtf8(value, len > 0 ? qsizetype(len - 1) : -1);
}

}  // namespace

FsProbeResult ProbeFsAtFd(int fd, uint64_t offset, uint64_t size) {
  FsProbeResult result;
  blkid_probe pr = blkid_new_probe();
  if (pr == nullptr) return result;
  if (blkid_probe_set_device(pr, fd, blkid_loff_t(offset), blkid_loff_t(size)) == 0) {
    blkid_probe_enable_superblocks(pr, 1);
    blkid_probe_set_superblocks_flags(
        pr, BLKID_SUBLKS_TYPE | BLKID_SUBLKS_VERSION | BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
    blkid_probe_enable_partitions(pr, 0);
    if (blkid_do_safeprobe(pr) == 0) {
      result.fsName = FsNameFromProbe(LookUp(pr, "TYPE"), LookUp(pr, "VERSION"));
      result.uuid = LookUp(pr, "UUID");
      result.label = LookUp(pr, "LABEL");
    }
  }
  blkid_free_probe(pr);
  return result;
}

std::optional<FsProbeResult> ProbeFsAt(const std::string& path, uint64_t offset,
                                       uint64_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  FsProbeResult result = ProbeFsAtFd(fd, offset, size);
  ::close(fd);
  return result;
}

}  // namespace undelvo
