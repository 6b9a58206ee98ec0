#include "scan/RecoverRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <new>

#include "fat/RestoreFileFAT.h"
#include "found/EntryValue.h"
#include "ntfs/RestoreFileNTFS.h"
#include "scan/ScanStatistics.h"
#include "settings/LanguageFile.h"

namespace undelvo {

RestoreOutcome CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder) {
  QFile source(sourcePath);
  if (!QFileInfo(sourcePath).isFile() || !source.open(QIODevice::ReadOnly)) return {};
  RestoredFile out;
  if (!out.CreateExactly(saveFolder, QFileInfo(sourcePath).fileName())) return out.Finish();
  bool ok = true;
  while (ok && !source.atEnd()) {
    const QByteArray piece = source.read(qint64(1) << 20);
    if (piece.isEmpty()) {
      ok = source.error() == QFileDevice::NoError;
      break;
    }
    ok = out.Write(piece.constData(), size_t(piece.size()));
  }
  RestoreOutcome outcome = out.Finish();
  if (!ok && !outcome.Failed()) {  // the source could not be read to its end
    outcome.status = RestoreOutcome::Status::Failed;
    outcome.error = EIO;
  }
  if (outcome.Failed()) QFile::remove(outcome.path);  // a half copy is not a restored file
  return outcome;
}

namespace {

RecoverRunResult Ended(RecoverRunEnd end, const QString& message = {}) {
  RecoverRunResult result;
  result.end = end;
  result.message = message;
  return result;
}

// One row through its engine. A damaged record can make an engine ask for
// more memory than there is: that row fails and the run goes on.
RestoreOutcome RestoreOneRow(ScanState& scan, RunControl& run, const EntryValue& e, const QString& value,
                             const RestoreTarget& target, const QString& saveFolder) {
  try {
    if (e.IsRecycleBin()) return CopyRecycleBinFile(e.path, saveFolder);
    if (scan.Volume.FsKind == FsNtfs) return RestoreFileNTFS(scan.Volume, scan.Ntfs, value, target, run);
    return RestoreFileFAT(scan.Volume, scan.Fat, value, target, run);
  } catch (const std::bad_alloc&) {
    RestoreOutcome failed;
    failed.status = RestoreOutcome::Status::Failed;
    failed.error = ENOMEM;
    return failed;
  }
}

}  // namespace

QString FilesRestoredText(const LanguageFile& lang, int32_t restored, int32_t mayBeDamaged) {
  QString text = QStringLiteral("%1 %2").arg(restored).arg(LangText(lang, "File", "FilesRestored"));
  if (mayBeDamaged > 0) text += QStringLiteral(" %1 %2").arg(mayBeDamaged).arg(LangText(lang, "File", "MayBeDamaged"));
  return text;
}

std::optional<RecoverRunResult> CheckRecoverSelection(const UndelvoState& state, const std::vector<FoundRow>& rows,
                                                      const std::vector<bool>& selected) {
  if (state.Run.Busy()) return Ended(RecoverRunEnd::AlreadyRunning);
  if (rows.empty()) return Ended(RecoverRunEnd::NoRows);
  for (size_t i = 0; i < rows.size() && i < selected.size(); ++i)
    if (selected[i]) return std::nullopt;
  return Ended(RecoverRunEnd::NoSelection, LangText(state.Program.Lang, "File", "Message2"));
}

RecoverRunResult RecoverRun(UndelvoState& state, ProgressSink& progress, const std::vector<FoundRow>& rows,
                            const std::vector<bool>& selected, const RecoverRunOptions& options) {
  if (auto refused = CheckRecoverSelection(state, rows, selected)) return *refused;
  const QString& saveFolder = state.Program.Config.SaveFolder;
  if (int error = 0; !MakeSaveFolder(saveFolder, error)) {
    RecoverRunResult refused = Ended(RecoverRunEnd::NoSaveFolder, LangText(state.Program.Lang, "File", "Message13"));
    refused.error = error;
    return refused;
  }

  ScanState& scan = state.Scan;
  RunControl& run = state.Run;
  RecoverRunResult result = Ended(RecoverRunEnd::Ran);
  const size_t count = rows.size();
  run.Begin();
  progress.Reset();
  for (size_t i = 0; i < count; ++i) {
    if (!run.Continue()) continue;
    progress.Percent(int(std::nearbyint(double(i) * 100.0 / double(count))));  // halves to even
    if (i >= selected.size() || !selected[i]) continue;
    if (!QFileInfo(saveFolder).isDir()) continue;  // the folder went away: nothing more can be written
    const FoundRow& row = rows[i];
    const EntryValue e = ParseEntryValue(row.value);
    const QString folder = options.keepFolders && !e.IsRecycleBin() ? KeptFolder(saveFolder, e.path) : saveFolder;
    // "File7" for row 7 when the folder rejects the name.
    const RestoreTarget target{folder, row.name, QStringLiteral("File%1").arg(i)};
    RecoveredRow done{i, row.name, e.path, {}, StateOf(scan.Found.States, row.value)};
    int folderError = 0;
    if (folder != saveFolder && !MakeKeptFolder(saveFolder, folder, folderError)) {
      done.outcome.status = RestoreOutcome::Status::Failed;
      done.outcome.error = folderError;
      done.outcome.path = folder;
    } else {
      done.outcome = RestoreOneRow(scan, run, e, row.value, target, saveFolder);
    }
    if (done.outcome.Written()) ++result.restored;
    if (done.outcome.Failed()) ++result.failed;
    if (done.MayBeDamaged()) ++result.mayBeDamaged;
    progress.ShowRestored(result.restored, result.failed);
    result.rows.push_back(std::move(done));
  }
  run.End();
  result.stopped = run.Stopped();
  // The statistic the scan panels show as "Items recovered".
  AddRecoveredFiles(state.Program.Registry, result.restored);
  result.message = FilesRestoredText(state.Program.Lang, result.restored, result.mayBeDamaged);
  return result;
}

}  // namespace undelvo
