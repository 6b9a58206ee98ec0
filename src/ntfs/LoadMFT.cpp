#include "ntfs/LoadMFT.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

#include "volume/EngineLimits.h"
#include "volume/NtfsGeometry.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr int64_t kMiB = 1 << 20;
constexpr int64_t kDefaultBudget = 512 * kMiB;
constexpr int64_t kReserve = 200 * kMiB;
constexpr int64_t kFallbackBudget = 128 * kMiB;

int64_t ByteSize(const std::vector<ClusterExtent>& extents, int64_t bytesPerCluster) {
  int64_t clusters = 0;
  for (const ClusterExtent& e : extents) clusters += e.length;
  return clusters * bytesPerCluster;
}

// Holds the extents to the volume: one that starts outside it goes, one that
// runs past its end is cut there, and together they hold at most the
// volume's clusters (an MFT is never larger than its volume). The counts
// come from the volume, so a run list's claims cannot overflow the sizes.
void BoundExtentsByVolume(std::vector<ClusterExtent>& extents, int64_t clusterCount) {
  std::erase_if(extents, [&](const ClusterExtent& e) {
    return e.start < 0 || e.length <= 0 || (clusterCount > 0 && e.start >= clusterCount);
  });
  if (clusterCount <= 0) return;
  int64_t left = clusterCount;
  for (auto it = extents.begin(); it != extents.end();) {
    it->length = std::min({it->length, clusterCount - it->start, left});
    left -= it->length;
    it = it->length > 0 ? it + 1 : extents.erase(it);
  }
}

// Cuts the longest extent until the MFT fits the budget, keeping at least 2 clusters of it.
void FitToBudget(std::vector<ClusterExtent>& extents, int64_t bytesPerCluster, int64_t budget) {
  if (extents.empty() || ByteSize(extents, bytesPerCluster) <= budget) return;
  auto longest = std::max_element(extents.begin(), extents.end(),
                                  [](const ClusterExtent& a, const ClusterExtent& b) { return a.length < b.length; });
  const int64_t others = ByteSize(extents, bytesPerCluster) - longest->length * bytesPerCluster;
  const int64_t fits = others < budget ? (budget - 1 - others) / bytesPerCluster : 0;
  longest->length = std::max(std::min(longest->length, fits), std::min<int64_t>(longest->length, 2));
}

// Reads `bytes` at `sector` in pieces, letting events run between them, so a
// large MFT extent never keeps the window from reacting. True when every
// piece read; a piece that fails is zero.
bool ReadInPieces(const VolumeContext& volume, uint64_t sector, uint8_t* out, int64_t bytes, RunControl& run) {
  const int64_t piece = kRestorePieceBytes / volume.BytesPerSector * volume.BytesPerSector;
  bool all = true;
  for (int64_t at = 0; at < bytes; at += piece) {
    if (at > 0) run.Pump();
    all = ReadSectors(volume, sector + uint64_t(at / volume.BytesPerSector), out + at, std::min(piece, bytes - at)) &&
          all;
  }
  return all;
}

// Reads one extent into `out`: whole if the device allows, else in the first
// number of equal parts whose first chunk reads. The probe reads straight into
// place, so no byte is read twice. Returns how many bytes from `out` on are
// written (read, or zero where a read failed): all of them unless a stop came.
int64_t ReadExtent(const VolumeContext& volume, const ClusterExtent& extent, uint8_t* out, RunControl& run,
                   ProgressSink& progress) {
  const int64_t clusterBytes = volume.BytesPerCluster;
  const int64_t bound = std::max<int64_t>(1, extent.length / std::max<int64_t>(1, clusterBytes / 1024));
  int64_t parts = 1;
  bool firstRead = false;
  for (;; ++parts) {
    if (run.Continue() && extent.length % parts == 0) {
      const int64_t chunk = extent.length / parts * clusterBytes;
      firstRead = ReadInPieces(volume, ClusterToSector(volume, uint64_t(extent.start)), out, chunk, run);
      if (firstRead) break;
    }
    if (parts >= bound || !run.Busy()) break;
  }
  const int64_t chunkClusters = extent.length / parts;
  const int64_t chunk = chunkClusters * clusterBytes;
  for (int64_t k = 1; k <= parts; ++k) {
    if (!run.Continue()) return (k - 1) * chunk;
    progress.Percent(int(k * 100 / parts));
    if (k == 1 && firstRead) continue;
    const uint64_t cluster = uint64_t(extent.start + (k - 1) * chunkClusters);
    ReadInPieces(volume, ClusterToSector(volume, cluster), out + (k - 1) * chunk, chunk, run);  // zero on failure
  }
  return parts * chunk;
}

// A large MFT fills tens of thousands of pages; backing the buffer with huge
// pages where the system allows saves most of the page faults of filling it.
void AdviseHugePages(void* data, size_t bytes) {
  constexpr uintptr_t kHuge = uintptr_t(2) << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

int64_t MftMemoryBudget(int64_t mftBytes, uint64_t available) {
  const int64_t free = int64_t(std::min<uint64_t>(available, uint64_t(INT64_MAX)));
  if (mftBytes > free) return free - kReserve > 0 ? free - kReserve : kFallbackBudget;
  return std::max(kDefaultBudget, free - kReserve);
}

void LoadMFT(const VolumeContext& volume, NtfsState& ntfs, RunControl& run, ProgressSink& progress,
             uint64_t availableMemory) {
  const int64_t clusterBytes = volume.BytesPerCluster;
  BoundExtentsByVolume(ntfs.MFTExtents, volume.ClusterCount);
  if (clusterBytes > 0) {
    const int64_t budget = MftMemoryBudget(ByteSize(ntfs.MFTExtents, clusterBytes), availableMemory);
    FitToBudget(ntfs.MFTExtents, clusterBytes, budget);
  }
  ntfs.MFTByteSize = clusterBytes > 0 ? ByteSize(ntfs.MFTExtents, clusterBytes) : 0;
  const size_t bufferBytes = size_t(ntfs.MFTByteSize) + kMftSpareBytes;
  ntfs.MFTBuffer.clear();
  ntfs.MFTBuffer.shrink_to_fit();
  ntfs.Records.Clear();
  ntfs.MFTBuffer.reserve(bufferBytes);
  AdviseHugePages(ntfs.MFTBuffer.data(), bufferBytes);
  // The reads write every byte of the buffer (zeros where they fail), so it
  // is not zeroed first; only what a stop leaves unread, and the spare bytes.
  ntfs.MFTBuffer.resize(bufferBytes);
  uint8_t* const buffer = ntfs.MFTBuffer.data();
  std::memset(buffer + ntfs.MFTByteSize, 0, kMftSpareBytes);

  int64_t fill = 0;
  for (const ClusterExtent& extent : ntfs.MFTExtents) {
    progress.Reset();
    const int64_t bytes = extent.length * clusterBytes;
    const int64_t written = run.Busy() ? ReadExtent(volume, extent, buffer + fill, run, progress) : 0;
    if (written < bytes) std::memset(buffer + fill + written, 0, size_t(bytes - written));
    fill += bytes;
  }
}

}  // namespace undelvo
