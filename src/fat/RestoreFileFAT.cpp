#include "fat/RestoreFileFAT.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "fat/FatDirectory.h"
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

// Appends `cluster` to the runs, joining it to the last run when it follows it.
void AppendCluster(std::vector<ClusterExtent>& runs, int64_t cluster) {
  if (!runs.empty() && runs.back().start + runs.back().length == cluster) ++runs.back().length;
  else runs.push_back({cluster, 1});
}

// The allocation table as the contiguous walk reads it: entry by entry, in
// 12, 16 or 32 bits, up to the volume's last cluster.
class TableReader {
 public:
  TableReader(const VolumeContext& volume, const FatState& fat) : volume_(volume), fat_(fat) {
    const int64_t entries = FatEntryCount(volume, fat);
    last_ = entries > 2 ? std::min(volume.ClusterCount + 1, entries - 1) : -1;
  }
  // The highest cluster the walk may look at; -1 when there is no table to
  // read (none loaded, or a kind of volume without one the walk knows).
  int64_t Last() const { return last_; }
  uint32_t Entry(int64_t cluster) const { return FatEntry(volume_, fat_, cluster); }

 private:
  const VolumeContext& volume_;
  const FatState& fat_;
  int64_t last_ = -1;
};

// The contiguous method. A file whose first cluster is free was written
// after the live files around it: the first cluster, then every free cluster
// after it until `need` clusters are listed. A file whose first cluster a
// live file holds now was written over by that later file, which took its
// clusters from the start: passing over them would shift every byte after
// them, so the consecutive clusters are taken (their part still free is
// where it was). Returns the listed clusters a live file holds.
int64_t WalkContiguous(const TableReader& table, int64_t first, int64_t need, RunControl& run,
                       std::vector<ClusterExtent>& runs) {
  const int64_t last = table.Last();
  if (last < 0) {
    runs.push_back({first, need});
    return 0;
  }
  constexpr int64_t kPumpEvery = 1 << 16;  // clusters between two pumps of a long walk
  if (first >= 2 && first <= last && table.Entry(first) != 0) {
    const int64_t count = std::min(need, last - first + 1);
    runs.push_back({first, count});
    int64_t inUse = 0;
    for (int64_t c = first; c < first + count; ++c) {
      if (c % kPumpEvery == 0) run.Pump();
      inUse += table.Entry(c) != 0;
    }
    return inUse;
  }
  runs.push_back({first, 1});
  int64_t listed = 1;
  for (int64_t c = std::max<int64_t>(first + 1, 2); listed < need && c <= last; ++c) {
    if (c % kPumpEvery == 0) run.Pump();
    if (table.Entry(c) != 0) continue;  // a live file's or a bad cluster
    AppendCluster(runs, c);
    ++listed;
  }
  return 0;
}

void CopyChain(const VolumeContext& volume, const FatState& fat, const std::vector<ClusterExtent>& runs, int64_t size,
               RestoredFile& out, RunControl& run) {
  std::vector<uint8_t> cluster;
  int64_t written = 0;
  for (const ClusterExtent& r : runs) {
    for (int64_t c = r.start; c < r.start + r.length; ++c) {
      if (!run.Continue() || written >= size) return;
      if (!ReadOrZeros(volume, FatClusterToSector(volume, fat, c), cluster, volume.BytesPerCluster)) return;
      const int64_t bytes = std::min(volume.BytesPerCluster, size - written);
      if (!out.Write(cluster.data(), size_t(bytes))) return;
      written += bytes;
    }
  }
}

// Reads each run in pieces of up to kRestorePieceBytes; what the runs do
// not reach is written as zeros.
void CopyContiguous(const VolumeContext& volume, const FatState& fat, const std::vector<ClusterExtent>& runs,
                    int64_t size, RestoredFile& out, RunControl& run) {
  const int64_t bps = volume.BytesPerSector;
  std::vector<uint8_t> piece;
  int64_t written = 0;
  for (const ClusterExtent& r : runs) {
    const int64_t start = FatClusterToSector(volume, fat, r.start);
    const int64_t runBytes = std::min(r.length * volume.BytesPerCluster, size - written);
    for (int64_t done = 0; done < runBytes;) {
      if (!run.Continue()) return;
      const int64_t bytes = std::min(kRestorePieceBytes, runBytes - done);
      const int64_t readBytes = (bytes + bps - 1) / bps * bps;
      if (!ReadOrZeros(volume, start + done / bps, piece, readBytes)) return;
      if (!out.Write(piece.data(), size_t(bytes))) return;
      done += bytes;
      written += bytes;
    }
  }
  if (written >= size) return;
  piece.assign(size_t(std::min(kRestorePieceBytes, size - written)), 0);
  while (written < size) {
    const int64_t bytes = std::min(int64_t(piece.size()), size - written);
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

RestoreClusterList RestoreClusters(const VolumeContext& volume, const FatState& fat, int64_t first, int64_t size,
                                   RunControl& run) {
  RestoreClusterList list;
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (first <= 0 || size <= 0 || clusterBytes <= 0) return list;
  std::vector<int64_t> chain;
  if (size >= clusterBytes) FollowChain(volume, fat, first, chain, run);
  list.chain = ChainFitsSize(chain.size(), clusterBytes, size);
  const TableReader table(volume, fat);
  list.mapped = table.Last() >= 0;
  if (list.chain) {
    // A chain the table still holds belongs to a file now: every cluster of it is taken.
    for (int64_t c : chain) AppendCluster(list.runs, c);
    list.inUse = int64_t(chain.size());
  } else {
    list.inUse = WalkContiguous(table, first, (size + clusterBytes - 1) / clusterBytes, run, list.runs);
  }
  // Only clusters on the volume: with no table to walk, the run is as long as
  // the entry's size claims, and a claim of gigabytes on a small volume would
  // be read (as zeros) and written in full.
  const int64_t lastCluster = volume.ClusterCount + 1;
  std::erase_if(list.runs, [&](const ClusterExtent& r) { return r.start < 2 || r.start > lastCluster; });
  int64_t clusters = 0;
  for (ClusterExtent& r : list.runs) {
    r.length = std::min(r.length, lastCluster - r.start + 1);
    clusters += r.length;
  }
  list.bytes = std::min(size, clusters * clusterBytes);
  return list;
}

RestoreOutcome RestoreFileFAT(const VolumeContext& volume, const FatState& fat, const QString& entryValue,
                              const RestoreTarget& target, RunControl& run) {
  const EntryValue e = ParseEntryValue(entryValue);
  if (e.size <= 0 || e.locator <= 0 || volume.BytesPerSector <= 0 || volume.BytesPerCluster <= 0) return {};
  const RestoreClusterList clusters = RestoreClusters(volume, fat, e.locator, e.size, run);

  RestoredFile out;
  if (!out.Create(target)) return out.Finish();
  // A size beyond what the clusters on the volume hold is cut to them; the
  // file's state tells the share that is missing.
  if (clusters.chain) CopyChain(volume, fat, clusters.runs, clusters.bytes, out, run);
  else CopyContiguous(volume, fat, clusters.runs, clusters.bytes, out, run);
  // A Stop in the middle leaves a piece of the file, which is no restored file.
  if (!run.Busy() && out.Bytes() < clusters.bytes) return out.FinishStopped();
  const RestoreOutcome outcome = out.Finish();
  // The volume's write time, on a file written whole (a stopped copy is not
  // the file that time belongs to).
  const auto time = fat.EntryTimes.constFind(entryValue);
  if (outcome.Written() && outcome.bytes == e.size && time != fat.EntryTimes.constEnd())
    SetFileModificationTime(outcome.path, FatLocalTime(time->date, time->time));
  return outcome;
}

}  // namespace undelvo
