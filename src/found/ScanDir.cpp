#include "found/ScanDir.h"

#include <QDir>
#include <QFileInfo>

#include "volume/EngineLimits.h"

namespace undelvo {

namespace {

// Lists one folder; false once a stop was noticed or the entries allowed
// are used up, which ends every level.
bool ListFolder(FoundState& found, RunControl& run, const QString& live, const QString& dir, int depth,
                int64_t& entriesLeft) {
  if (!run.Busy()) return false;
  if (depth > kMaxFolderLevels) return true;
  const QFileInfoList entries = QDir(live).entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  if (int64_t(entries.size()) > entriesLeft) return false;
  entriesLeft -= entries.size();
  for (const QFileInfo& entry : entries) {
    if (entry.isFile()) continue;
    if (!run.Continue()) return false;
    if (entry.isSymLink()) continue;
    const QString child = dir + entry.fileName() + QLatin1Char('\\');
    found.DirList.append(child);
    if (!ListFolder(found, run, entry.absoluteFilePath(), child, depth + 1, entriesLeft)) return false;
  }
  return true;
}

}  // namespace

QString LiveFolderOf(const QString& mountPoint, const QString& drivePath) {
  if (mountPoint.isEmpty()) return {};
  QString below = drivePath.mid(2);  // past "C:"
  below.replace(QLatin1Char('\\'), QLatin1Char('/'));
  QString root = mountPoint;
  while (root.endsWith(QLatin1Char('/'))) root.chop(1);
  return root + below;
}

void ScanDir(FoundState& found, RunControl& run, const QString& mountPoint, const QString& dir, int64_t maxEntries) {
  const QString live = LiveFolderOf(mountPoint, dir);
  if (live.isEmpty()) return;
  int64_t entriesLeft = maxEntries;
  ListFolder(found, run, live, dir, 0, entriesLeft);
}

}  // namespace undelvo
