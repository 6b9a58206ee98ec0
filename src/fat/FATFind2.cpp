#include "fat/FATFind2.h"

#include <QDate>
#include <QFileInfo>
#include <QSet>
#include <cmath>
#include <vector>

#include "fat/DeletedEntry.h"
#include "platform/PageAlignedAllocator.h"
#include "fat/FatDirectory.h"
#include "found/NameMask.h"
#include "found/ScanDir.h"
#include "volume/EngineLimits.h"
#include "volume/FatGeometry.h"
#include "volume/LittleEndian.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr int64_t kChunkClusters = 32;
constexpr int64_t kReadBytes = 4 << 20;  // chunks are read several at a time, up to this size

// A folder's first cluster begins with its "." and ".." entries.
bool IsDirectoryCluster(const uint8_t* c) {
  return c[kDirEntryName] == '.' && c[kDirEntryBytes + kDirEntryName] == '.' &&
         c[kDirEntryBytes + kDirEntryName + 1] == '.';
}

bool IsRoot(const FatState& fat, int64_t cluster) { return cluster == 0 || cluster == fat.RootCluster; }

// The name of the folder entry whose first cluster is `child` in a folder's
// entries from `from` on (the last such entry wins); empty when none.
QString NameOfChild(const VolumeContext& volume, RunControl& run, const std::vector<uint8_t>& dir, size_t from,
                    int64_t child, bool& stopped) {
  EntryNames names;
  QString found;
  for (size_t at = from; at + kDirEntryBytes <= dir.size(); at += kDirEntryBytes) {
    const uint8_t* entry = dir.data() + at;
    if (entry[kDirEntryName] == kEndOfDirectory) break;
    if (!run.Continue()) {
      stopped = true;
      return {};
    }
    if (names.Gather(entry)) continue;
    const QString name = names.Take(entry);
    if ((entry[kDirEntryAttribute] & kDirectoryBit) && !name.isEmpty() && EntryFirstCluster(volume, entry) == child)
      found = name;
  }
  return found.trimmed();
}

class FatDeepScan {
 public:
  FatDeepScan(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint)
      : volume_(volume), fat_(fat), found_(found), run_(run), progress_(progress), mountPoint_(mountPoint),
        mask_(nameMask), latestYear_(QDate::currentDate().year()) {}

  void Run() {
    const int64_t spc = volume_.SectorPerCluster;
    const int64_t clusterBytes = volume_.BytesPerCluster;
    const int64_t dataStart = FatClusterToSector(volume_, fat_, 2);
    if (spc <= 0 || clusterBytes <= 0 || volume_.SectorCount <= dataStart) return;
    // Every data cluster, the last part chunk included.
    const int64_t clusters = (volume_.SectorCount - dataStart) / spc;
    const int64_t chunks = (clusters + kChunkClusters - 1) / kChunkClusters;
    const int64_t chunksPerRead = std::max<int64_t>(1, kReadBytes / (kChunkClusters * clusterBytes));
    ReadBuffer buffer;
    for (int64_t w = 0; w < chunks; w += chunksPerRead) {
      if (!run_.Continue()) break;
      const int64_t first = w * kChunkClusters;  // data cluster index, 0 = cluster 2
      const int64_t count = std::min(chunksPerRead * kChunkClusters, clusters - first);
      buffer.resize(size_t(count * clusterBytes));
      const bool read = ReadSectors(volume_, uint64_t(dataStart + first * spc), buffer.data(), count * clusterBytes);
      for (int64_t k = 0; k < count; ++k) {
        if (k % kChunkClusters == 0) {
          if (!run_.Continue()) break;
          progress_.Percent(int(std::nearbyint(double(w + k / kChunkClusters + 1) * 100.0 / double(chunks))));
        }
        uint8_t* c = buffer.data() + k * clusterBytes;
        // A failed batch is read again cluster by cluster, so one bad sector costs one cluster.
        if (!read && !ReadSectors(volume_, uint64_t(dataStart + (first + k) * spc), c, clusterBytes)) continue;
        if (clusterBytes >= 2 * kDirEntryBytes && IsDirectoryCluster(c)) ListFolder(c, first + k + 2);
      }
    }
  }

 private:
  void ListFolder(const uint8_t* cluster, int64_t at) {
    const int64_t parent = EntryFirstCluster(volume_, cluster + kDirEntryBytes);  // its ".." entry
    const QString folder = volume_.DriveRoot + QLatin1Char('\\') + BuildDirPathFAT(volume_, fat_, run_, at, parent);
    // The whole folder along its chain while the table holds one, else this cluster.
    std::vector<uint8_t> entries = ReadDirectory(volume_, fat_, at, run_);
    if (entries.empty()) entries.assign(cluster, cluster + volume_.BytesPerCluster);
    const QString liveFolder = LiveFolderOf(mountPoint_, folder);
    FoundState& found = found_;
    EntryNames names;
    for (size_t offset = 0; offset + kDirEntryBytes <= entries.size(); offset += kDirEntryBytes) {
      const uint8_t* entry = entries.data() + offset;
      if (entry[kDirEntryName] == kEndOfDirectory) break;
      run_.Pump();
      if (names.Gather(entry)) continue;
      const QString name = names.Take(entry);
      if ((entry[kDirEntryAttribute] & kDirectoryBit) || name.isEmpty()) continue;
      ++found.ScannedCount;
      if (found.ScannedCount % 10 == 0) progress_.ShowScanned(found.ScannedCount);
      if (entry[kDirEntryName] != kDeletedMark || !mask_.Matches(name)) continue;
      if (!liveFolder.isEmpty() && QFileInfo::exists(liveFolder + name)) continue;  // the file is back
      if (!RecordDeletedFatFile(volume_, fat_, found, run_, entry, name, folder, latestYear_)) continue;
      if (found.FoundCount % 10 == 0) progress_.ShowFound(found.Counters());
    }
  }

  const VolumeContext& volume_;
  FatState& fat_;
  FoundState& found_;
  RunControl& run_;
  ProgressSink& progress_;
  const QString mountPoint_;
  const NameMask mask_;
  const int latestYear_;
};

}  // namespace

QString BuildDirPathFAT(const VolumeContext& volume, const FatState& fat, RunControl& run, int64_t child,
                        int64_t dir) {
  QString path;
  QSet<int64_t> seen;
  for (int level = 0; level < kMaxFolderLevels && run.Busy() && !seen.contains(child); ++level) {
    seen.insert(child);
    const bool root = IsRoot(fat, dir);
    const std::vector<uint8_t> entries = ReadDirectory(volume, fat, root ? 0 : dir, run);
    if (entries.size() < 2 * kDirEntryBytes) break;
    int64_t parent = 0;
    if (!root) {
      // A folder names itself in "." and its parent in "..".
      if (EntryFirstCluster(volume, entries.data()) != dir) break;
      parent = EntryFirstCluster(volume, entries.data() + kDirEntryBytes);
      if (parent >= volume.ClusterCount) break;
    }
    bool stopped = false;
    const QString name = NameOfChild(volume, run, entries, root ? 0 : 2 * kDirEntryBytes, child, stopped);
    if (stopped || name.isEmpty()) break;
    path.prepend(name + QLatin1Char('\\'));
    if (root) break;
    child = dir;
    dir = parent;
  }
  return path;
}

void FATFind2(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint) {
  FatDeepScan(volume, fat, found, nameMask, run, progress, mountPoint).Run();
}

}  // namespace undelvo
