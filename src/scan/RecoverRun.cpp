#include "scan/RecoverRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <unistd.h>

#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "fat/RestoreFileFAT.h"
#include "ntfs/RestoreFileNTFS.h"

namespace undelvo {

bool CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder) {
  QFile source(sourcePath);
  if (!QFileInfo(sourcePath).isFile() || !source.open(QIODevice::ReadOnly)) return false;
  QString path;
  const int fd = CreateNewFile(saveFolder, QFileInfo(sourcePath).fileName(), path);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !source.atEnd()) {
    const QByteArray piece = source.read(qint64(1) << 20);
    if (piece.isEmpty()) {
      ok = source.error() == QFileDevice::NoError;
      break;
    }
    ok = WriteFully(fd, piece.constData(), size_t(piece.size()));
  }
  ok = (::close(fd) == 0) && ok;
  if (!ok) QFile::remove(path);  // a half copy is not a restored file
  return ok;
}

int32_t RecoverRows(UndelvoState& state, ScanHooks& hooks, const std::vector<FoundRow>& rows) {
  const QString& saveFolder = state.Config.SaveFolder;
  const size_t count = rows.size();
  int shown = 0;
  int32_t restored = 0;
  state.Busy = 1;
  hooks.ShowBar(0);
  hooks.ShowProgressText(QString());
  for (size_t i = 0; i < count; ++i) {
    hooks.Pump();
    if (!state.Busy) continue;
    const int percent = int(std::nearbyint(double(i) * 100.0 / double(count)));  // halves to even
    if (percent != shown) {
      shown = percent;
      hooks.ShowBar(percent * 5);
      hooks.ShowPercent(percent);
    }
    if (!QFileInfo(saveFolder).isDir()) continue;  // the folder went away: nothing more can be written
    const FoundRow& row = rows[i];
    const EntryValue e = ParseEntryValue(row.value);
    bool ok = false;
    const QString fallback = QStringLiteral("File%1").arg(i);  // when the folder rejects the name
    if (e.IsRecycleBin()) {
      ok = CopyRecycleBinFile(e.path, saveFolder);
    } else if (state.Volume.FsKind == FsNtfs) {
      ok = RestoreFileNTFS(state.Volume, state.Ntfs, row.name, row.value, saveFolder, state.Busy, hooks, nullptr,
                           fallback);
    } else {
      ok = RestoreFileFAT(state.Volume, state.Fat, row.name, row.value, saveFolder, state.Busy, hooks, nullptr,
                          fallback);
    }
    if (ok) ++restored;
  }
  state.Busy = 0;
  return restored;
}

}  // namespace undelvo
