#include "platform/ImagePartitions.h"

#include <blkid/blkid.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace undelvo {

namespace {
constexpr uint64_t kSector = 512;  // libblkid gives partition positions in 512-byte units
}

uint64_t ContainerSize(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return 0;
  if (S_ISREG(st.st_mode)) return st.st_size > 0 ? uint64_t(st.st_size) : 0;
  if (S_ISBLK(st.st_mode)) {
    uint64_t bytes = 0;
    if (::ioctl(fd, BLKGETSIZE64, &bytes) == 0) return bytes;
  }
  return 0;
}

PartitionLayout ReadPartitionLayout(int fd, uint64_t containerSize) {
  PartitionLayout layout;
  if (containerSize == 0) return layout;
  blkid_probe pr = blkid_new_probe();
  if (pr == nullptr) return layout;
  if (blkid_probe_set_device(pr, fd, 0, blkid_loff_t(containerSize)) == 0) {
    blkid_probe_enable_superblocks(pr, 0);
    blkid_probe_enable_partitions(pr, 1);
    blkid_partlist list = blkid_probe_get_partitions(pr);
    blkid_parttable table = list != nullptr ? blkid_partlist_get_table(list) : nullptr;
    if (table != nullptr) {
      layout.hasTable = true;
      if (const char* type = blkid_parttable_get_type(table)) layout.tableType = QString::fromUtf8(type);
      const int count = blkid_partlist_numof_partitions(list);
      for (int i = 0; i < count; ++i) {
        blkid_partition part = blkid_partlist_get_partition(list, i);
        if (part == nullptr || blkid_partition_is_extended(part)) continue;
        const blkid_loff_t start = blkid_partition_get_start(part);
        const blkid_loff_t length = blkid_partition_get_size(part);
        if (start < 0 || length <= 0) continue;
        if (uint64_t(start) >= containerSize / kSector) continue;
        PartitionSpan span;
        span.number = blkid_partition_get_partno(part);
        span.offset = uint64_t(start) * kSector;
        const uint64_t room = containerSize - span.offset;
        span.size = uint64_t(length) > room / kSector ? room : uint64_t(length) * kSector;
        layout.partitions.push_back(span);
      }
    }
  }
  blkid_free_probe(pr);
  return layout;
}

std::vector<VolumeCandidate> VolumesInContainer(int fd, const std::string& path,
                                                uint64_t containerSize) {
  std::vector<VolumeCandidate> volumes;
  const QString label = QString::fromStdString(path);
  const PartitionLayout layout = ReadPartitionLayout(fd, containerSize);
  if (layout.hasTable && !layout.partitions.empty()) {
    for (const PartitionSpan& span : layout.partitions) {
      VolumeCandidate v;
      v.offset = span.offset;
      v.size = span.size;
      v.sourceLabel = label + QLatin1Char('#') + QString::number(span.number);
      v.fs = ProbeFsAtFd(fd, v.offset, v.size);
      volumes.push_back(v);
    }
  } else if (containerSize > 0) {
    VolumeCandidate v;
    v.size = containerSize;
    v.sourceLabel = label;
    v.fs = ProbeFsAtFd(fd, 0, containerSize);
    volumes.push_back(v);
  }
  return volumes;
}

}  // namespace undelvo
