#include "found/ScanRecycleBin.h"

#include <QDir>
#include <QFileInfo>

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "found/NameMask.h"
#include "found/RecordFoundFile.h"
#include "volume/EngineLimits.h"

namespace undelvo {

namespace {

void ScanFolder(FoundState& found, const NameMask& mask, RunControl& run, ProgressSink& progress,
                const QString& folder, int depth) {
  if (!run.Busy() || depth > kMaxFolderLevels) return;
  const QDir dir(folder);
  const QFileInfoList entries =
      dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  auto pump = [&] { run.Pump(); };
  for (const QFileInfo& entry : entries) {
    if (!run.Continue()) return;  // a stop ends the listing at once, keeping what it recorded
    if (entry.isSymLink()) continue;  // a link could lead out of the bin or round in a circle
    if (entry.isFile() && mask.Matches(entry.fileName())) {
      const QDateTime created = entry.birthTime().isValid() ? entry.birthTime() : entry.lastModified();
      const QString value = JoinEntryValue(QStringLiteral("R"), entry.absoluteFilePath(), ShortDate(created), entry.size());
      RecordFoundFile(found, FoundFileWriter::RecycleBin, entry.fileName(), value, pump);
      progress.ShowFound(found.Counters());
    }
    if (entry.isDir()) ScanFolder(found, mask, run, progress, entry.absoluteFilePath(), depth + 1);
  }
}

}  // namespace

void ScanRecycleBin(FoundState& found, const QString& nameMask, RunControl& run, ProgressSink& progress,
                    const QString& folder) {
  ScanFolder(found, NameMask(nameMask), run, progress, folder, 0);
}

}  // namespace undelvo
