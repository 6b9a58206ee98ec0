#include "ntfs/PreviewNTFS.h"

#include <algorithm>

#include "ntfs/RestoreFileNTFS.h"
#include "ntfs/Unit0NTFS.h"
#include "volume/NtfsGeometry.h"
#include "volume/ReadSectors.h"

namespace undelvo {

QByteArray PreviewNTFS(const VolumeContext& volume, NtfsState& ntfs, int64_t locator, bool wholeFile, int64_t limit) {
  TMFTFile file;
  if (limit <= 0 || !ParseMFTRecord(ntfs, locator, file)) return {};
  if (file.Resident) return file.ResidentBuf.left(qsizetype(std::min<int64_t>(limit, file.ResidentBuf.size())));
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (file.FSize <= 0 || clusterBytes <= 0 || volume.BytesPerSector <= 0) return {};
  const int64_t size = std::min(file.FSize, limit);
  const size_t runs = wholeFile ? file.Runs.size() : std::min<size_t>(file.Runs.size(), 2);
  QByteArray bytes;
  for (size_t i = 0; i < runs && bytes.size() < size; ++i) {
    const ClusterExtent& extent = file.Runs[i];
    if (extent.start < 0 || extent.length <= 0 || extent.length > INT64_MAX / clusterBytes) break;
    const int64_t want = std::min(extent.length * clusterBytes, size - int64_t(bytes.size()));
    AppendSectors(volume, ClusterToSector(volume, uint64_t(extent.start)), want, bytes);
  }
  return bytes;
}

}  // namespace undelvo
