#include "ntfs/NtfsRecoverability.h"

#include <algorithm>

#include "ntfs/RestoreFileNTFS.h"

namespace undelvo {

FileClusters NtfsFileClusters(const VolumeContext& volume, NtfsState& ntfs, const ClusterBitmap& bitmap,
                              int64_t locator) {
  FileClusters out;
  TMFTFile file;
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (!ParseMFTRecord(ntfs, locator, file) || !file.HasData || clusterBytes <= 0) return out;
  // A copy keeps the file's modification time but is created when it lands:
  // the later of the two is when the clusters were written.
  out.written = std::max(file.FModifiedTime, file.FCreatedTime);
  if (file.Resident || file.FSize <= 0) {
    out.mapped = true;
    return out;
  }
  if (!bitmap.Loaded()) return out;
  out.mapped = true;
  // A compressed stream is read in whole units: a unit's stored clusters hold all of it.
  const int64_t stepClusters = std::max(1, file.CompressionUnitClusters);
  const int64_t stepBytes = stepClusters * clusterBytes;
  out.needed = (file.FSize / stepBytes + (file.FSize % stepBytes != 0)) * stepClusters;
  int64_t walked = 0;
  for (const FileRun& run : file.Runs) {
    // The restore ends at a run it refuses: nothing from there on is recoverable.
    if (walked >= out.needed || !UsableRun(run, volume)) break;
    const int64_t n = std::min(run.length, out.needed - walked);
    if (run.sparse) {
      out.intact += n;
    } else if (run.start >= 0) {
      out.intact += n - bitmap.CountNotFree(run.start, n);
      out.extents.push_back({run.start, n});
    }
    walked += n;
  }
  return out;
}

}  // namespace undelvo
