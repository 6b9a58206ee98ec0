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
  // The same choice of clusters as the restore makes, so the preview shows
  // what a restore would write.
  std::vector<int64_t> chain;
  if (size >= clusterBytes) FollowChain(volume, fat, first, chain, run);
  constexpr int64_t kTextClusters = 2;  // a text preview shows the start of the file
  const int64_t end = std::min(size, limit);
  QByteArray bytes;
  if (!ChainFitsSize(chain.size(), clusterBytes, size)) {
    const int64_t want = wholeFile ? end : std::min(end, kTextClusters * clusterBytes);
    AppendSectors(volume, FatClusterToSector(volume, fat, first), want, bytes);
    return bytes;
  }
  if (!wholeFile && int64_t(chain.size()) > kTextClusters) chain.resize(size_t(kTextClusters));
  for (int64_t cluster : chain) {
    if (bytes.size() >= end) break;
    AppendSectors(volume, FatClusterToSector(volume, fat, cluster),
                  std::min(clusterBytes, end - int64_t(bytes.size())), bytes);
  }
  return bytes;
}

}  // namespace undelvo
