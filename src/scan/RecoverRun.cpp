#include "scan/RecoverRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <unistd.h>

#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "fat/RestoreFileFAT.h"
#include "ntfs/RestoreFileNTFS.h"
#include "scan/PercentDisplay.h"

namespace undelvo {

bool CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder, int* error) {
  if (error) *error = 0;
  QFile source(sourcePath);
  if (!QFileInfo(sourcePath).isFile() || !source.open(QIODevice::ReadOnly)) return false;
  QString path;
  const int fd = CreateNewFile(saveFolder, QFileInfo(sourcePath).fileName(), path);
  if (fd < 0) return errno == EEXIST ? false : FailWith(error);  // an existing file is kept, not an error
  bool ok = true;
  while (ok && !source.atEnd()) {
    const QByteArray piece = source.read(qint64(1) << 20);
    if (piece.isEmpty()) {
      ok = source.error() == QFileDevice::NoError;
      break;
    }
    ok = WriteFully(fd, piece.constData(), size_t(piece.size()));
  }
  if (!ok) CloseAndFail(fd, error);
  else if (::close(fd) == 0) return true;
  else FailWith(error);
  QFile::remove(path);  // a half copy is not a restored file
  return false;
}

RecoverResult RecoverRows(UndelvoState& state, ScanHooks& hooks, const std::vector<FoundRow>& rows) {
  const QString& saveFolder = state.Config.SaveFolder;
  const size_t count = rows.size();
  PercentDisplay progress(hooks);
  RecoverResult result;
  state.Busy = 1;
  hooks.ShowBar(0);
  hooks.ShowProgressText(QString());
  for (size_t i = 0; i < count; ++i) {
    hooks.Pump();
    if (!state.Busy) continue;
    progress.Show(int(std::nearbyint(double(i) * 100.0 / double(count))));  // halves to even
    if (!QFileInfo(saveFolder).isDir()) continue;  // the folder went away: nothing more can be written
    const FoundRow& row = rows[i];
    const EntryValue e = ParseEntryValue(row.value);
    bool ok = false;
    int error = 0;
    const QString fallback = QStringLiteral("File%1").arg(i);  // when the folder rejects the name
    if (e.IsRecycleBin()) {
      ok = CopyRecycleBinFile(e.path, saveFolder, &error);
    } else if (state.Volume.FsKind == FsNtfs) {
      ok = RestoreFileNTFS(state.Volume, state.Ntfs, row.name, row.value, saveFolder, state.Busy, hooks, nullptr,
                           fallback, &error);
    } else {
      ok = RestoreFileFAT(state.Volume, state.Fat, row.name, row.value, saveFolder, state.Busy, hooks, nullptr,
                          fallback, &error);
    }
    if (ok) ++result.restored;
    else if (error != 0) result.failed.emplace_back(row.name, error);
  }
  state.Busy = 0;
  return result;
}

}  // namespace undelvo
