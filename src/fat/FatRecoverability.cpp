#include "fat/FatRecoverability.h"

#include <algorithm>

#include "fat/RestoreFileFAT.h"
#include "found/EntryValue.h"

namespace undelvo {

FileClusters FatFileClusters(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                             RunControl& run) {
  FileClusters out;
  const EntryValue e = ParseEntryValue(entryValue);
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (e.size <= 0) {
    out.mapped = true;
    return out;
  }
  if (clusterBytes <= 0 || fat.FatTable.empty()) return out;
  // A copy keeps the file's write time but is created when it lands: the
  // later of the two is when the clusters were written.
  if (const auto time = fat.EntryTimes.constFind(entryValue); time != fat.EntryTimes.constEnd())
    out.written = std::max(uint64_t(time->date) << 16 | time->time, uint64_t(time->createdDate) << 16 | time->createdTime);
  out.needed = e.size / clusterBytes + (e.size % clusterBytes != 0);
  if (e.locator <= 0) {
    out.mapped = true;  // no first cluster: nothing of it can be read
    return out;
  }
  const RestoreClusterList list = RestoreClusters(volume, fat, e.locator, e.size, run);
  out.mapped = list.mapped;
  int64_t listed = 0;
  for (const ClusterExtent& r : list.runs) {
    const int64_t n = std::min(r.length, out.needed - listed);
    if (n <= 0) break;
    out.extents.push_back({r.start, n});
    listed += n;
  }
  out.intact = std::max<int64_t>(0, listed - list.inUse);
  return out;
}

}  // namespace undelvo
