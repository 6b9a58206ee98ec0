#include "found/ScanRecycleBin.h"

#include <QDir>
#include <QFileInfo>

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "found/NameMask.h"
#include "found/RecordFoundFile.h"

namespace undelvo {

namespace {

constexpr int kMaxDepth = 64;

void ScanFolder(UndelvoState& state, ScanHooks& hooks, const NameMask& mask, const QString& folder, int depth) {
  if (!state.Busy || depth > kMaxDepth) return;
  const QDir dir(folder);
  const QFileInfoList entries =
      dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  auto pump = [&] { hooks.Pump(); };
  for (const QFileInfo& entry : entries) {
    hooks.Pump();
    if (entry.isSymLink()) continue;  // a link could lead out of the bin or round in a circle
    if (entry.isFile() && mask.Matches(entry.fileName())) {
      const QDateTime created = entry.birthTime().isValid() ? entry.birthTime() : entry.lastModified();
      const QString value = JoinEntryValue(QStringLiteral("R"), entry.absoluteFilePath(), ShortDate(created), entry.size());
      RecordFoundFile(state.Found, FoundFileWriter::RecycleBin, entry.fileName(), value, pump);
      const int category = state.Found.FileCategory;
      hooks.ShowCategoryCount(category, state.Found.CategoryCount[size_t(category)]);
      if (state.Found.FoundCount % 50 == 0) hooks.ShowFound(state.Found);
    }
    if (entry.isDir()) ScanFolder(state, hooks, mask, entry.absoluteFilePath(), depth + 1);
  }
}

}  // namespace

void ScanRecycleBin(UndelvoState& state, ScanHooks& hooks, const QString& folder) {
  ScanFolder(state, hooks, NameMask(state.NameMask), folder, 0);
}

}  // namespace undelvo
