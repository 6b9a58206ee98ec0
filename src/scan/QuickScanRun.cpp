#include "scan/QuickScanRun.h"

#include <QFileInfo>

#include "found/ScanDir.h"
#include "found/ScanRecycleBin.h"
#include "ntfs/MftExtents.h"
#include "ntfs/NTFSFind1.h"
#include "scan/ScanStatistics.h"
#include "settings/LanguageFile.h"
#include "volume/NtfsGeometry.h"
#include "volume/ProbeFileSystem.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

ScanRunResult Refuse(const UndelvoState& state, ScanHooks& hooks, const char* section, const char* key) {
  ScanRunResult result{ScanRunEnd::CheckFailed, LangText(state.Lang, section, key)};
  hooks.ShowMessage(result.message);
  return result;
}

// The run's start: counters, lists and the store emptied, progress at zero.
void Prepare(UndelvoState& state, ScanHooks& hooks) {
  state.Found.ResetForScan();
  hooks.ShowRunning(true);
  hooks.ShowFound(state.Found);
  hooks.ShowBar(0);
  hooks.ShowProgressText(QString());
  state.NameMask = QStringLiteral("*.*");
  state.Busy = 1;
}

// Lists the live folders of a FAT volume into DirList, sorted without regard
// to letter case, the root first.
void ListFatFolders(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint) {
  const QString root = state.Volume.DriveRoot + QLatin1Char('\\');
  state.Found.DirList.append(root);
  ScanDir(state, hooks, mountPoint, root);
  state.Found.DirList.sort(Qt::CaseInsensitive);
}

void ScanRecycleBins(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint) {
  if (mountPoint.isEmpty()) return;  // an unmounted volume has no live bin folders
  ScanRecycleBin(state, hooks, LiveFolderOf(mountPoint, state.Volume.DriveRoot + QStringLiteral("\\RECYCLER\\")));
  ScanRecycleBin(state, hooks, LiveFolderOf(mountPoint, state.Volume.DriveRoot + QStringLiteral("\\$RECYCLE.BIN\\")));
}

}  // namespace

ScanRunResult QuickScanRun(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive) {
  // Checks: each refusal leaves the store and the statistics as they were.
  if (state.Drives.drives.empty()) return Refuse(state, hooks, "Drive", "Message3");
  const QString letter = selectedDrive.left(2).toUpper();
  const DriveEntry* drive = state.Drives.Find(letter);
  if (drive == nullptr || !QFileInfo::exists(QString::fromStdString(drive->source.path)))
    return Refuse(state, hooks, "Drive", "Message3");
  const QString mountPoint = drive->mountPoint;
  VolumeContext& volume = state.Volume;
  volume.DriveRoot = letter;
  volume.FsKind = ProbeFileSystem(volume, letter);
  const uint8_t kind = volume.FsKind;
  if (kind != 16 && kind != 32 && kind != 64) return Refuse(state, hooks, "Drive", "Message5");
  if (kind == 64) {
    if (!ReadGeometryNTFS(volume, state.Ntfs, state.GeometryCacheFile)) {
      if (SourceAccessDenied(volume)) return Refuse(state, hooks, "Note", "Message1");
      return Refuse(state, hooks, "Drive", "Message8");
    }
    if (!ReadMFTExtents(volume, state.Ntfs)) return Refuse(state, hooks, "Drive", "Message9");
  }

  Prepare(state, hooks);
  if (kind == 64) {
    NTFSFind1(state, hooks);
  } else {
    ListFatFolders(state, hooks, mountPoint);
  }
  ScanRecycleBins(state, hooks, mountPoint);

  // Finish, reached after a stop too.
  state.Busy = 0;
  state.Found.DirList.clear();
  hooks.ShowBar(500);
  hooks.ShowProgressText(QStringLiteral("100%"));
  hooks.ShowRunning(false);
  SaveScanStatistics(state.Registry, state.Found.FoundCount);
  if (state.Found.FoundCount != 0) return {ScanRunEnd::FilesFound, QString()};
  state.Found.Found.Clear();
  ScanRunResult result{ScanRunEnd::NothingFound, LangText(state.Lang, "Process", "NotFound1")};
  hooks.ShowMessage(result.message);
  return result;
}

}  // namespace undelvo
