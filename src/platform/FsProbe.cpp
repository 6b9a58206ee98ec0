#include "platform/FsProbe.h"

#include <blkid/blkid.h>
#include <cstring>
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

// libblkid refuses an NTFS volume whose MFT record 0 is damaged, which is
// just the volume a deep scan is for; its boot sector still names it.
FsProbeResult NtfsFromBootSector(int fd, uint64_t offset) {
  FsProbeResult result;
  unsigned char boot[512];
  if (::pread(fd, boot, sizeof boot, off_t(offset)) != ssize_t(sizeof boot)) return result;
  if (std::memcmp(boot + 3, "NTFS    ", 8) != 0 || boot[510] != 0x55 || boot[511] != 0xAA) return result;
  result.fsName = QStringLiteral("NTFS");
  uint64_t serial = 0;
  for (int i = 7; i >= 0; --i) serial = (serial << 8) | boot[0x48 + i];
  result.uuid = QStringLiteral("%1").arg(serial, 16, 16, QLatin1Char('0')).toUpper();
  return result;
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
  if (result.fsName.isEmpty()) result = NtfsFromBootSector(fd, offset);
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
