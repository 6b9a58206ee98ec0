#include "fat/PreviewFAT.h"

#include <algorithm>
#include <vector>

#include "fat/RestoreFileFAT.h"
#include "fat/Unit0FAT.h"
#include "volume/FatGeometry.h"
#include "volume/ReadSectors.h"

namespace undelvo {

QByteArray PreviewFAT(const VolumeContext& volume, const FatState& fat, int64_t first, int64_t size, bool wholeFile,
                      int64_t limit, RunControl& run) {
  const int64_t clusterBytes = volume.BytesPerCluster;
  if ((volume.FsKind != FsFat16 && volume.FsKind != FsFat32) || first <= 0 || size <= 0 || limit <= 0 ||
      volume.BytesPerSector <= 0 || clusterBytes <= 0)
    return {};
  // The clusters the restore reads, so the preview shows what a restore
  // would write.
  const RestoreClusterList clusters = RestoreClusters(volume, fat, first, size, run);
  constexpr int64_t kTextClusters = 2;  // a text preview shows the start of the file
  const int64_t end = std::min(size, limit);
  const int64_t want = wholeFile ? end : std::min(end, kTextClusters * clusterBytes);
  QByteArray bytes;
  for (const ClusterExtent& r : clusters.runs) {
    if (bytes.size() >= want) break;
    AppendSectors(volume, FatClusterToSector(volume, fat, r.start),
                  std::min(r.length * clusterBytes, want - int64_t(bytes.size())), bytes);
  }
  // The restore writes zeros where the contiguous walk ran out of volume.
  if (!clusters.chain && bytes.size() < want) bytes.append(qsizetype(want - bytes.size()), '\0');
  return bytes;
}

}  // namespace undelvo
