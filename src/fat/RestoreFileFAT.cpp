#include "fat/RestoreFileFAT.h"

#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "fat/Unit0FAT.h"
#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "platform/DriveTable.h"
#include "volume/EngineLimits.h"
#include "volume/FatGeometry.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

bool SourceExists(const VolumeContext& volume) {
  const DriveEntry* d = volume.Drives ? volume.Drives->Find(volume.DriveRoot) : nullptr;
  return d != nullptr && QFileInfo::exists(QString::fromStdString(d->source.path));
}

// Reads `bytes` at `sector` into `buffer`; a failed read leaves zeros. False
// only when the drive itself is gone, which ends the copy.
bool ReadOrZeros(const VolumeContext& volume, int64_t sector, std::vector<uint8_t>& buffer, int64_t bytes) {
  buffer.resize(size_t(bytes));
  if (sector >= 0 && ReadSectors(volume, uint64_t(sector), buffer.data(), bytes)) return true;
  std::fill(buffer.begin(), buffer.end(), 0);
  return SourceExists(volume);
}

void CopyChain(const VolumeContext& volume, const FatState& fat, const std::vector<int64_t>& chain, int64_t size,
               RestoredFile& out, RunControl& run) {
  std::vector<uint8_t> cluster;
  int64_t written = 0;
  for (int64_t c : chain) {
    if (!run.Continue() || written >= size) break;
    if (!ReadOrZeros(volume, FatClusterToSector(volume, fat, c), cluster, volume.BytesPerCluster)) break;
    const int64_t bytes = std::min(volume.BytesPerCluster, size - written);
    if (!out.Write(cluster.data(), size_t(bytes))) return;
    written += bytes;
  }
}

void CopyContiguous(const VolumeContext& volume, const FatState& fat, int64_t first, int64_t size,
                    RestoredFile& out, RunControl& run) {
  const int64_t bps = volume.BytesPerSector;
  const int64_t start = FatClusterToSector(volume, fat, first);
  std::vector<uint8_t> piece;
  for (int64_t written = 0; written < size;) {
    if (!run.Continue()) break;
    const int64_t bytes = std::min(kRestorePieceBytes, size - written);
    const int64_t readBytes = (bytes + bps - 1) / bps * bps;
    if (!ReadOrZeros(volume, start + written / bps, piece, readBytes)) break;
    if (!out.Write(piece.data(), size_t(bytes))) return;
    written += bytes;
  }
}

}  // namespace

bool ChainFitsSize(size_t clusters, int64_t clusterBytes, int64_t size) {
  if (clusters < 2) return false;
  const int64_t total = int64_t(clusters) * clusterBytes;
  return (total > size ? total - size : size - total) <= clusterBytes;
}

RestoreOutcome RestoreFileFAT(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                              const RestoreTarget& target, RunControl& run) {
  const EntryValue e = ParseEntryValue(entryValue);
  if (e.size <= 0 || e.locator <= 0 || volume.BytesPerSector <= 0 || volume.BytesPerCluster <= 0) return {};
  std::vector<int64_t> chain;
  if (e.size >= volume.BytesPerCluster) FollowChain(volume, fat, e.locator, chain, run);
  const bool useChain = ChainFitsSize(chain.size(), volume.BytesPerCluster, e.size);

  RestoredFile out;
  if (!out.Create(target)) return out.Finish();
  if (useChain) CopyChain(volume, fat, chain, e.size, out, run);
  else CopyContiguous(volume, fat, e.locator, e.size, out, run);
  return out.Finish();
}

}  // namespace undelvo
