#include "ntfs/PreviewNTFS.h"

#include <algorithm>

#include "ntfs/RestoreFileNTFS.h"
#include "ntfs/Unit0NTFS.h"

namespace undelvo {

QByteArray PreviewNTFS(const VolumeContext& volume, NtfsState& ntfs, int64_t locator, bool wholeFile, int64_t limit) {
  TMFTFile file;
  if (limit <= 0 || !ParseMFTRecord(ntfs, locator, file)) return {};
  if (file.Resident) return file.ResidentBuf.left(qsizetype(std::min<int64_t>(limit, file.ResidentBuf.size())));
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (file.FSize <= 0 || clusterBytes <= 0 || volume.BytesPerSector <= 0) return {};
  int64_t size = std::min(file.FSize, limit);
  if (!wholeFile) {
    // The bytes the first 2 runs cover, a compressed stream's in whole units.
    const int64_t enough = size / clusterBytes + 1;  // keeps the sum far from overflowing
    int64_t clusters = 0;
    for (size_t i = 0; i < std::min<size_t>(file.Runs.size(), 2); ++i)
      clusters = std::min(enough, clusters + std::clamp<int64_t>(file.Runs[i].length, 0, enough));
    if (const int64_t unit = file.CompressionUnitClusters; unit > 0) clusters = (clusters + unit - 1) / unit * unit;
    size = std::min(size, clusters * clusterBytes);
  }
  QByteArray bytes;
  ReadNtfsContent(volume, file, size, nullptr, [&](const uint8_t* piece, size_t n) {
    bytes.append(reinterpret_cast<const char*>(piece), qsizetype(n));
    return true;
  });
  return bytes;
}

}  // namespace undelvo
