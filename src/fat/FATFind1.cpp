#include "fat/FATFind1.h"

#include <QDate>

#include "fat/DeletedEntry.h"
#include "fat/FatDirectory.h"
#include "found/NameMask.h"

namespace undelvo {

namespace {

// Paths deeper than this are taken for a loop of folders, not a real tree.
constexpr int kMaxDepth = 64;

// The first cluster of the entry named `component` in `dir`, or -1. Any data
// cluster (2 on) can hold a folder: small volumes put their first folders at
// clusters 3 or 4. An exact name wins; failing that, a name that
// differs only in letter case: the mounted volume shows a short name such as
// DOCS as "docs", and that folder must still be found.
int64_t FindComponent(UndelvoState& state, ScanHooks& hooks, const std::vector<uint8_t>& dir,
                      const QString& component) {
  EntryNames names;
  int64_t caseless = -1;
  for (size_t at = 0; at + kDirEntryBytes <= dir.size(); at += kDirEntryBytes) {
    const uint8_t* entry = dir.data() + at;
    if (entry[0] == 0x00) break;
    hooks.Pump();
    if (!state.Busy) return -1;
    if (names.Gather(entry)) continue;
    const QString name = names.Take(entry);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) continue;
    const int64_t cluster = EntryFirstCluster(state.Volume, entry);
    if (cluster < 2 || cluster > state.Volume.ClusterCount + 1) continue;
    if (name == component) return cluster;
    if (caseless < 0 && name.compare(component, Qt::CaseInsensitive) == 0) caseless = cluster;
  }
  return caseless;
}

void AppendFolder(UndelvoState& state, const QString& path, int64_t cluster) {
  FatState& fat = state.Fat;
  const QString folded = path.toCaseFolded();
  if (fat.ListedDirs.contains(folded)) return;
  if (cluster >= 2 && !fat.ListedDirClusters.insert(cluster).second) return;  // leads back to a listed folder
  if (path.count(QLatin1Char('\\')) > kMaxDepth) return;
  fat.ListedDirs.insert(folded);
  state.Found.DirList.append(path);
}

}  // namespace

void FATFind1(UndelvoState& state, ScanHooks& hooks, const QString& dir) {
  const VolumeContext& volume = state.Volume;
  FoundState& found = state.Found;
  int64_t cluster = 0;  // 0: the root
  if (dir.size() != 3) {
    const QStringList components = dir.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& component : components) {
      hooks.Pump();
      if (!state.Busy) return;
      const std::vector<uint8_t> parent = ReadDirectory(volume, state.Fat, cluster, hooks);
      if (parent.empty()) return;
      cluster = FindComponent(state, hooks, parent, component);
      if (cluster < 0) return;
    }
  }
  const std::vector<uint8_t> listing = ReadDirectory(volume, state.Fat, cluster, hooks);

  const NameMask mask(state.NameMask);
  const int latestYear = QDate::currentDate().year();
  EntryNames names;
  for (size_t at = 0; at + kDirEntryBytes <= listing.size(); at += kDirEntryBytes) {
    const uint8_t* entry = listing.data() + at;
    if (entry[0] == 0x00) break;
    hooks.Pump();
    if (!state.Busy) return;
    if (names.Gather(entry)) continue;
    ++found.ScannedCount;
    if (found.ScannedCount % 10 == 0) hooks.ShowScanned(found.ScannedCount);
    const QString name = names.Take(entry);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) continue;
    const int64_t first = EntryFirstCluster(volume, entry);
    if (entry[11] & kDirectoryBit) {
      AppendFolder(state, dir + name + QLatin1Char('\\'), first);
      continue;
    }
    if (entry[0] != kDeletedMark || !mask.Matches(name)) continue;
    if (!RecordDeletedFatFile(volume, found, hooks, entry, name, dir, latestYear)) continue;
    if (found.FoundCount % 50 == 0) hooks.ShowFound(found);
  }
}

}  // namespace undelvo
