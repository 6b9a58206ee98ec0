#include "fat/FATFind1.h"

#include <QDate>

#include "fat/DeletedEntry.h"
#include "fat/FatDirectory.h"
#include "found/NameMask.h"
#include "volume/EngineLimits.h"

namespace undelvo {

namespace {

// The first cluster of folder `dir` (0 for the root), as the entry in its
// parent's listing gave it; -1 when the parent was not listed or holds no
// such folder. A path spelled as the entries spell it wins; failing that,
// one that differs only in letter case: the mounted volume shows a short
// name such as DOCS as "docs", and that folder must still be found.
int64_t FolderCluster(const FatState& fat, const QString& dir) {
  if (dir.size() == 3) return 0;
  if (const auto exact = fat.DirClusters.constFind(dir); exact != fat.DirClusters.cend()) return *exact;
  return fat.FoldedDirClusters.value(dir.toCaseFolded(), -1);
}

// Appends subfolder `path`, whose entry gives it first cluster `cluster`, to
// DirList unless it is listed already, leads into a folder read already
// (back to itself, an ancestor, or into a chain read before) or lies deeper
// than a real tree. Notes its cluster for the listed paths, where the folder
// is found when its turn comes: the first entry of a path wins, by exact
// spelling and by letter case aside. Any data cluster (2 on) can hold a
// folder: small volumes put their first folders at clusters 3 or 4.
void QueueFolder(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& path,
                 int64_t cluster) {
  const QString folded = path.toCaseFolded();
  if (!fat.ListedDirs.contains(folded)) {
    if (cluster >= 2 && fat.ListedDirClusters.count(cluster)) return;
    if (path.count(QLatin1Char('\\')) > kMaxFolderLevels) return;  // deeper paths are a loop of folders
    fat.ListedDirs.insert(folded);
    found.DirList.append(path);
  }
  if (cluster < 2 || cluster > volume.ClusterCount + 1) return;
  if (!fat.DirClusters.contains(path)) fat.DirClusters.insert(path, cluster);
  if (!fat.FoldedDirClusters.contains(folded)) fat.FoldedDirClusters.insert(folded, cluster);
}

}  // namespace

void FATFind1(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& dir) {
  const int64_t cluster = FolderCluster(fat, dir);
  if (cluster < 0) return;
  const std::vector<uint8_t> listing = ReadDirectory(volume, fat, cluster, fat.ListedDirClusters, run);

  const NameMask mask(nameMask);
  const int latestYear = QDate::currentDate().year();
  EntryNames names;
  for (size_t at = 0; at + kDirEntryBytes <= listing.size(); at += kDirEntryBytes) {
    const uint8_t* entry = listing.data() + at;
    if (entry[kDirEntryName] == kEndOfDirectory) break;
    if (!run.Continue()) return;
    if (names.Gather(entry)) continue;
    ++found.ScannedCount;
    if (found.ScannedCount % 10 == 0) progress.ShowScanned(found.ScannedCount);
    const QString name = names.Take(entry);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) continue;
    const int64_t first = EntryFirstCluster(volume, entry);
    if (entry[kDirEntryAttribute] & kDirectoryBit) {
      QueueFolder(volume, fat, found, dir + name + QLatin1Char('\\'), first);
      continue;
    }
    if (entry[kDirEntryName] != kDeletedMark || !mask.Matches(name)) continue;
    if (!RecordDeletedFatFile(volume, fat, found, run, entry, name, dir, latestYear)) continue;
    if (found.FoundCount % 50 == 0) progress.ShowFound(found.Counters());
  }
}

}  // namespace undelvo
