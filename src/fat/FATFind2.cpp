#include "fat/FATFind2.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <unordered_map>
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

// A deleted file entry, kept with its name until its folder's path is known.
struct HeldFile {
  std::array<uint8_t, kDirEntryBytes> entry;
  QString name;
};

// What the scan keeps of a folder it read: its links and the names of its
// subfolders (to rebuild paths without reading it again), and its deleted
// files that may be recorded.
struct FolderRead {
  int64_t cluster = 0;   // its first cluster; 0 for the root
  bool linked = false;   // holds two entries at least: "." and ".."
  int64_t self = 0;      // the first cluster its "." entry gives
  int64_t parent = 0;    // the first cluster its ".." entry gives
  QHash<int64_t, QString> subfolders;  // folder entries' names by first cluster, the last entry winning
  std::vector<HeldFile> files;
};

class FatDeepScan {
 public:
  FatDeepScan(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint)
      : volume_(volume), fat_(fat), found_(found), run_(run), progress_(progress), mountPoint_(mountPoint),
        mask_(nameMask), latestYear_(QDate::currentDate().year()) {}

  void Run() {
    fat_.ListedDirClusters.clear();
    const int64_t spc = volume_.SectorPerCluster;
    const int64_t clusterBytes = volume_.BytesPerCluster;
    const int64_t dataStart = FatClusterToSector(volume_, fat_, 2);
    if (spc <= 0 || clusterBytes <= 0 || volume_.SectorCount <= dataStart) return;
    // The root names the top folders; its own files are the quick scan's.
    root_ = Read(ReadDirectory(volume_, fat_, 0, fat_.ListedDirClusters, run_), 0, true);
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
        const int64_t at = first + k + 2;
        next_ = at;
        if (fat_.ListedDirClusters.count(at)) continue;  // read already, as part of a folder
        uint8_t* c = buffer.data() + k * clusterBytes;
        // A failed batch is read again cluster by cluster, so one bad sector costs one cluster.
        if (!read && !ReadSectors(volume_, uint64_t(dataStart + (first + k) * spc), c, clusterBytes)) continue;
        if (clusterBytes >= 2 * kDirEntryBytes && IsDirectoryCluster(c)) ReadFolder(c, at);
      }
    }
    // Every folder read is named now. After a stop, what still waits for a
    // parent beyond where the scan stopped gets the path as far as the
    // folders read lead: its files were read, and are kept.
    next_ = volume_.ClusterCount + 2;
    RecordWaitingFiles();
  }

 private:
  // The whole folder along its chain while the table holds one, else this cluster.
  void ReadFolder(const uint8_t* cluster, int64_t at) {
    std::vector<uint8_t> entries = ReadDirectory(volume_, fat_, at, fat_.ListedDirClusters, run_);
    if (entries.empty()) entries.assign(cluster, cluster + volume_.BytesPerCluster);
    folderAt_.emplace(at, folders_.size());
    waiting_.push_back(folders_.size());
    folders_.push_back(Read(entries, at, false));
    next_ = at + 1;
    RecordWaitingFiles();
  }

  // Records the files of the folders read, in the order they were found, as
  // far as their paths are known: a folder whose parent (or an ancestor's)
  // lies ahead of the scan, not read yet, waits, and the folders found after
  // it wait with it.
  void RecordWaitingFiles() {
    while (!waiting_.empty()) {
      FolderRead& folder = folders_[waiting_.front()];
      if (folder.files.empty()) {  // nothing to record, nothing to keep in order
        waiting_.pop_front();
        continue;
      }
      bool known = true;
      const QString below = PathBelowRoot(folder.cluster, folder.parent, known);
      if (!known) return;
      RecordFiles(folder, volume_.DriveRoot + QLatin1Char('\\') + below);
      std::vector<HeldFile>().swap(folder.files);
      waiting_.pop_front();
    }
  }

  // What is kept of a folder from its entries: the root's subfolder names
  // start at its first entry, another folder's after its "." and "..".
  FolderRead Read(const std::vector<uint8_t>& entries, int64_t at, bool root) {
    FolderRead folder;
    folder.cluster = at;
    folder.linked = entries.size() >= 2 * kDirEntryBytes;
    if (folder.linked) {
      folder.self = EntryFirstCluster(volume_, entries.data());
      folder.parent = EntryFirstCluster(volume_, entries.data() + kDirEntryBytes);
    }
    EntryNames names;
    for (size_t offset = root ? 0 : 2 * kDirEntryBytes; offset + kDirEntryBytes <= entries.size();
         offset += kDirEntryBytes) {
      const uint8_t* entry = entries.data() + offset;
      if (entry[kDirEntryName] == kEndOfDirectory) break;
      run_.Pump();
      if (names.Gather(entry)) continue;
      const QString name = names.Take(entry);
      if ((entry[kDirEntryAttribute] & kDirectoryBit) && !name.isEmpty())
        folder.subfolders.insert(EntryFirstCluster(volume_, entry), name.trimmed());
    }
    if (root) return folder;
    names = EntryNames();
    for (size_t offset = 0; offset + kDirEntryBytes <= entries.size(); offset += kDirEntryBytes) {
      const uint8_t* entry = entries.data() + offset;
      if (entry[kDirEntryName] == kEndOfDirectory) break;
      run_.Pump();
      if (names.Gather(entry)) continue;
      const QString name = names.Take(entry);
      if ((entry[kDirEntryAttribute] & kDirectoryBit) || name.isEmpty()) continue;
      ++found_.ScannedCount;
      if (found_.ScannedCount % 10 == 0) progress_.ShowScanned(found_.ScannedCount);
      if (entry[kDirEntryName] != kDeletedMark || !mask_.Matches(name) || !MayBeRecorded(entry)) continue;
      HeldFile held;
      std::memcpy(held.entry.data(), entry, kDirEntryBytes);
      held.name = name;
      folder.files.push_back(std::move(held));
    }
    return folder;
  }

  // The tests RecordDeletedFatFile makes of an entry (a plausible date and
  // time, a size, a first cluster on the volume): only entries it may keep
  // wait in memory for their folder's path.
  bool MayBeRecorded(const uint8_t* entry) const {
    return PlausibleDateTime(ReadLE16(entry + kDirEntryDate), ReadLE16(entry + kDirEntryTime), latestYear_) &&
           ReadLE32(entry + kDirEntrySize) != 0 && EntryFirstCluster(volume_, entry) <= volume_.ClusterCount;
  }

  // The path below the root of the folder at cluster `child` whose parent is
  // at cluster `dir`: "Docs\2019\", each name followed by "\"; as far as
  // the ".." links of the folders read can be followed (empty when not even
  // the child's own name is found). Ends on loops and after 64 levels.
  // `known` turns false when it ends at a folder the scan may still read.
  QString PathBelowRoot(int64_t child, int64_t dir, bool& known) const {
    QString path;
    QSet<int64_t> seen;
    for (int level = 0; level < kMaxFolderLevels && !seen.contains(child); ++level) {
      seen.insert(child);
      const bool root = IsRoot(fat_, dir);
      const FolderRead* folder = &root_;
      if (!root) {
        const auto it = folderAt_.find(dir);
        if (it == folderAt_.end()) {
          known = dir < next_ || dir > volume_.ClusterCount + 1 || fat_.ListedDirClusters.count(dir);
          break;
        }
        folder = &folders_[it->second];
      }
      if (!folder->linked) break;
      // A folder names itself in "." and its parent in "..".
      if (!root && (folder->self != dir || folder->parent >= volume_.ClusterCount)) break;
      const QString name = folder->subfolders.value(child);
      if (name.isEmpty()) break;
      path.prepend(name + QLatin1Char('\\'));
      if (root) break;
      child = dir;
      dir = folder->parent;
    }
    return path;
  }

  void RecordFiles(const FolderRead& folder, const QString& path) {
    const QString liveFolder = LiveFolderOf(mountPoint_, path);
    for (const HeldFile& file : folder.files) {
      run_.Pump();
      if (!liveFolder.isEmpty() && QFileInfo::exists(liveFolder + file.name)) continue;  // the file is back
      if (!RecordDeletedFatFile(volume_, fat_, found_, run_, file.entry.data(), file.name, path, latestYear_)) continue;
      if (found_.FoundCount % 10 == 0) progress_.ShowFound(found_.Counters());
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
  FolderRead root_;
  std::vector<FolderRead> folders_;  // in the order they were found
  std::unordered_map<int64_t, size_t> folderAt_;  // index in folders_ by first cluster
  std::deque<size_t> waiting_;  // folders whose files are not recorded yet, in the order found
  int64_t next_ = 2;            // the first cluster the scan has not passed yet
};

}  // namespace

void FATFind2(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint) {
  FatDeepScan(volume, fat, found, nameMask, run, progress, mountPoint).Run();
}

}  // namespace undelvo
