#include "found/ScanDir.h"

#include <QDir>
#include <QFileInfo>

#include "volume/EngineLimits.h"

namespace undelvo {

namespace {

// Lists one folder; false once a stop was noticed, which ends every level.
bool ListFolder(FoundState& found, RunControl& run, const QString& live, const QString& dir, int depth) {
  if (!run.Busy()) return false;
  if (depth > kMaxFolderLevels) return true;
  const QFileInfoList entries = QDir(live).entryInfoList(
      QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  for (const QFileInfo& entry : entries) {
    if (!run.Continue()) return false;
    if (entry.isSymLink()) continue;
    const QString child = dir + entry.fileName() + QLatin1Char('\\');
    found.DirList.append(child);
    if (!ListFolder(found, run, entry.absoluteFilePath(), child, depth + 1)) return false;
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

void ScanDir(FoundState& found, RunControl& run, const QString& mountPoint, const QString& dir) {
  const QString live = LiveFolderOf(mountPoint, dir);
  if (live.isEmpty()) return;
  ListFolder(found, run, live, dir, 0);
}

}  // namespace undelvo
