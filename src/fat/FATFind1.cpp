#include "fat/FATFind1.h"

#include <QDate>

#include "fat/DeletedEntry.h"
#include "fat/FatDirectory.h"
#include "found/NameMask.h"
#include "volume/EngineLimits.h"

namespace undelvo {

namespace {

// The first cluster of the entry named `component` in `dir`, or -1. Any data
// cluster (2 on) can hold a folder: small volumes put their first folders at
// clusters 3 or 4. An exact name wins; failing that, a name that
// differs only in letter case: the mounted volume shows a short name such as
// DOCS as "docs", and that folder must still be found.
int64_t FindComponent(const VolumeContext& volume, RunControl& run, const std::vector<uint8_t>& dir,
                      const QString& component) {
  EntryNames names;
  int64_t caseless = -1;
  for (size_t at = 0; at + kDirEntryBytes <= dir.size(); at += kDirEntryBytes) {
    const uint8_t* entry = dir.data() + at;
    if (entry[kDirEntryName] == kEndOfDirectory) break;
    if (!run.Continue()) return -1;
    if (names.Gather(entry)) continue;
    const QString name = names.Take(entry);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) continue;
    const int64_t cluster = EntryFirstCluster(volume, entry);
    if (cluster < 2 || cluster > volume.ClusterCount + 1) continue;
    if (name == component) return cluster;
    if (caseless < 0 && name.compare(component, Qt::CaseInsensitive) == 0) caseless = cluster;
  }
  return caseless;
}

void AppendFolder(FatState& fat, FoundState& found, const QString& path, int64_t cluster) {
  const QString folded = path.toCaseFolded();
  if (fat.ListedDirs.contains(folded)) return;
  if (cluster >= 2 && !fat.ListedDirClusters.insert(cluster).second) return;  // leads back to a listed folder
  if (path.count(QLatin1Char('\\')) > kMaxFolderLevels) return;  // deeper paths are a loop of folders
  fat.ListedDirs.insert(folded);
  found.DirList.append(path);
}

}  // namespace

void FATFind1(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& dir) {
  int64_t cluster = 0;  // 0: the root
  if (dir.size() != 3) {
    const QStringList components = dir.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& component : components) {
      if (!run.Continue()) return;
      const std::vector<uint8_t> parent = ReadDirectory(volume, fat, cluster, run);
      if (parent.empty()) return;
      cluster = FindComponent(volume, run, parent, component);
      if (cluster < 0) return;
    }
  }
  const std::vector<uint8_t> listing = ReadDirectory(volume, fat, cluster, run);

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
      AppendFolder(fat, found, dir + name + QLatin1Char('\\'), first);
      continue;
    }
    if (entry[kDirEntryName] != kDeletedMark || !mask.Matches(name)) continue;
    if (!RecordDeletedFatFile(volume, fat, found, run, entry, name, dir, latestYear)) continue;
    if (found.FoundCount % 50 == 0) progress.ShowFound(found.Counters());
  }
}

}  // namespace undelvo
