#include "scan/ScanRunSteps.h"

#include <QFileInfo>

#include "fat/FATFind1.h"
#include "found/ScanDir.h"
#include "found/ScanRecycleBin.h"
#include "ntfs/MftExtents.h"
#include "scan/ScanStatistics.h"
#include "settings/LanguageFile.h"
#include "volume/FatGeometry.h"
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

}  // namespace

std::optional<ScanRunResult> CheckDrive(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive,
                                        bool needMftMap, QString& mountPoint) {
  if (state.Drives.drives.empty()) return Refuse(state, hooks, "Drive", "Message3");
  const QString letter = selectedDrive.left(2).toUpper();
  const DriveEntry* drive = state.Drives.Find(letter);
  if (drive == nullptr || !QFileInfo::exists(QString::fromStdString(drive->source.path)))
    return Refuse(state, hooks, "Drive", "Message3");
  mountPoint = drive->mountPoint;
  VolumeContext& volume = state.Volume;
  volume.DriveRoot = letter;
  volume.FsKind = ProbeFileSystem(volume, letter);
  const uint8_t kind = volume.FsKind;
  if (kind != FsFat16 && kind != FsFat32 && kind != FsNtfs) return Refuse(state, hooks, "Drive", "Message5");
  if (kind == FsNtfs) {
    if (!ReadGeometryNTFS(volume, state.Ntfs, state.GeometryCacheFile)) {
      if (SourceAccessDenied(volume)) return Refuse(state, hooks, "Note", "Message1");
      return Refuse(state, hooks, "Drive", "Message8");
    }
    if (needMftMap && !ReadMFTExtents(volume, state.Ntfs)) return Refuse(state, hooks, "Drive", "Message9");
  } else {
    if (!ReadGeometryFAT(volume, state.Fat)) {
      if (SourceAccessDenied(volume)) return Refuse(state, hooks, "Note", "Message1");
      return Refuse(state, hooks, "Drive", "Message7");
    }
    if (!LoadFatTable(volume, state.Fat)) return Refuse(state, hooks, "Drive", "Message7");
  }
  return std::nullopt;
}

void PrepareRun(UndelvoState& state, ScanHooks& hooks) {
  state.Found.ResetForScan();
  hooks.ShowRunning(true);
  hooks.ShowFound(state.Found);
  hooks.ShowBar(0);
  hooks.ShowProgressText(QString());
  state.NameMask = QStringLiteral("*.*");
  state.Busy = 1;
}

void ScanFatFolders(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint) {
  FoundState& found = state.Found;
  FatState& fat = state.Fat;
  const QString root = state.Volume.DriveRoot + QLatin1Char('\\');
  found.DirList.append(root);
  ScanDir(state, hooks, mountPoint, root);
  found.DirList.sort(Qt::CaseInsensitive);
  fat.ListedDirs.clear();
  fat.ListedDirClusters.clear();
  for (const QString& dir : found.DirList) fat.ListedDirs.insert(dir.toCaseFolded());
  if (fat.RootCluster >= 2) fat.ListedDirClusters.insert(fat.RootCluster);
  hooks.Pump();
  int barWidth = 0;
  for (qsizetype i = 0; i < found.DirList.size(); ++i) {
    hooks.Pump();
    if (!state.Busy) return;
    const int percent = int(i * 100 / found.DirList.size());
    if (5 * percent > barWidth) {  // the list grows as the scan goes; the bar never shrinks
      barWidth = 5 * percent;
      hooks.ShowBar(barWidth);
      hooks.ShowPercent(percent);
    }
    const QString dir = found.DirList[i];  // a copy: the engine appends to the list
    FATFind1(state, hooks, dir);
  }
}

void ScanRecycleBins(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint) {
  if (mountPoint.isEmpty()) return;  // an unmounted volume has no live bin folders
  ScanRecycleBin(state, hooks, LiveFolderOf(mountPoint, state.Volume.DriveRoot + QStringLiteral("\\RECYCLER\\")));
  ScanRecycleBin(state, hooks, LiveFolderOf(mountPoint, state.Volume.DriveRoot + QStringLiteral("\\$RECYCLE.BIN\\")));
}

ScanRunResult FinishRun(UndelvoState& state, ScanHooks& hooks, const char* notFoundKey) {
  state.Busy = 0;
  state.Found.DirList.clear();
  hooks.ShowBar(500);
  hooks.ShowProgressText(QStringLiteral("100%"));
  hooks.ShowRunning(false);
  SaveScanStatistics(state.Registry, state.Found.FoundCount);
  if (state.Found.FoundCount != 0) return {ScanRunEnd::FilesFound, QString()};
  state.Found.FoundFiles.Clear();
  ScanRunResult result{ScanRunEnd::NothingFound, LangText(state.Lang, "Process", notFoundKey)};
  hooks.ShowMessage(result.message);
  return result;
}

}  // namespace undelvo
