#include "scan/ScanRunSteps.h"

#include <QFileInfo>
#include <algorithm>

#include "fat/FATFind1.h"
#include "found/ScanDir.h"
#include "found/ScanRecycleBin.h"
#include "scan/AssessFoundFiles.h"
#include "ntfs/MftExtents.h"
#include "scan/ScanStatistics.h"
#include "settings/LanguageFile.h"
#include "volume/FatGeometry.h"
#include "volume/FatLayout.h"
#include "volume/NtfsGeometry.h"
#include "volume/ProbeFileSystem.h"
#include "volume/ReadSectors.h"
#include "volume/SourceBounds.h"

namespace undelvo {

ScanRunResult RefusedRun(const UndelvoState& state, const char* section, const char* key) {
  ScanRunResult result;
  result.end = ScanRunEnd::CheckFailed;
  result.message = LangText(state.Program.Lang, section, key);
  result.check = QLatin1String(section) + QLatin1Char('/') + QLatin1String(key);
  return result;
}

std::optional<ScanRunResult> CheckDrive(UndelvoState& state, const QString& selectedDrive, bool needMftMap) {
  if (state.Run.Busy()) {
    ScanRunResult busy;
    busy.end = ScanRunEnd::AlreadyRunning;
    return busy;
  }
  const DriveTable& drives = state.Program.Drives;
  if (drives.drives.empty()) return RefusedRun(state, "Drive", "Message3");
  const QString letter = selectedDrive.left(2).toUpper();
  const DriveEntry* drive = drives.Find(letter);
  if (drive == nullptr || !QFileInfo::exists(QString::fromStdString(drive->source.path)))
    return RefusedRun(state, "Drive", "Message3");
  ScanState& scan = state.Scan;
  scan.MountPoint = drive->mountPoint;
  VolumeContext& volume = scan.Volume;
  volume.DriveRoot = letter;
  volume.FsKind = ProbeFileSystem(volume, letter);
  const uint8_t kind = volume.FsKind;
  if (kind != FsFat16 && kind != FsFat32 && kind != FsNtfs) return RefusedRun(state, "Drive", "Message5");
  if (kind == FsNtfs) {
    if (!ReadGeometryNTFS(volume, scan.Ntfs, state.Program.GeometryCacheFile)) {
      if (SourceAccessDenied(volume)) return RefusedRun(state, "Note", "Message1");
      return RefusedRun(state, "Drive", "Message8");
    }
    if (!BoundGeometryBySource(volume, &scan.Ntfs.MFTStart)) return RefusedRun(state, "Drive", "Message8");
    if (needMftMap && !ReadMFTExtents(volume, scan.Ntfs)) return RefusedRun(state, "Drive", "Message9");
  } else {
    if (!ReadGeometryFAT(volume, scan.Fat)) {
      if (SourceAccessDenied(volume)) return RefusedRun(state, "Note", "Message1");
      return RefusedRun(state, "Drive", "Message7");
    }
    if (!BoundGeometryBySource(volume)) return RefusedRun(state, "Drive", "Message7");
    // A FAT that the source cannot hold is a claim: it is refused before its
    // memory is asked for.
    const uint64_t fatEnd = uint64_t(scan.Fat.ReservedSectors) * uint64_t(volume.BytesPerSector) +
                            uint64_t(std::max<int64_t>(scan.Fat.FatBytes, 0));
    if (const uint64_t source = SourceBytes(volume); source > 0 && fatEnd > source)
      return RefusedRun(state, "Drive", "Message7");
    if (!LoadFatTable(volume, scan.Fat)) return RefusedRun(state, "Drive", "Message7");
  }
  return std::nullopt;
}

void PrepareRun(UndelvoState& state, ProgressSink& progress) {
  state.Scan.Found.ResetForScan();
  state.Scan.Fat.EntryTimes.clear();  // the write times of the last scan's files
  progress.ShowRunning(true);
  progress.ShowFound(state.Scan.Found.Counters());
  progress.Reset();
  state.Scan.NameMask = QStringLiteral("*.*");
  state.Run.Begin();
}

void ScanFatFolders(UndelvoState& state, ProgressSink& progress) {
  ScanState& scan = state.Scan;
  FoundState& found = scan.Found;
  FatState& fat = scan.Fat;
  RunControl& run = state.Run;
  const QString root = scan.Volume.DriveRoot + QLatin1Char('\\');
  found.DirList.append(root);
  // No more live entries than the volume's folders have room for.
  const VolumeContext& volume = scan.Volume;
  const int64_t entryRoom =
      (volume.ClusterCount * volume.BytesPerCluster + fat.RootDirSectors * volume.BytesPerSector) / kDirEntryBytes;
  ScanDir(found, run, scan.MountPoint, root, entryRoom);
  found.DirList.sort(Qt::CaseInsensitive);
  fat.ListedDirs.clear();
  fat.ListedDirClusters.clear();  // the root's clusters go in as the root is read, first
  fat.DirClusters.clear();
  fat.FoldedDirClusters.clear();
  for (const QString& dir : found.DirList) fat.ListedDirs.insert(dir.toCaseFolded());
  for (qsizetype i = 0; i < found.DirList.size(); ++i) {
    if (!run.Continue()) return;
    // The list grows as the scan goes, so the percentage can fall back: the
    // display passes on only a rise, and the bar never shrinks.
    progress.Percent(int(i * 100 / found.DirList.size()));
    const QString dir = found.DirList[i];  // a copy: the engine appends to the list
    FATFind1(scan.Volume, fat, found, scan.NameMask, run, progress, dir);
  }
}

void ScanRecycleBins(UndelvoState& state, ProgressSink& progress) {
  ScanState& scan = state.Scan;
  if (scan.MountPoint.isEmpty()) return;  // an unmounted volume has no live bin folders
  for (const char* bin : {"\\RECYCLER\\", "\\$RECYCLE.BIN\\"})
    ScanRecycleBin(scan.Found, scan.NameMask, state.Run, progress,
                   LiveFolderOf(scan.MountPoint, scan.Volume.DriveRoot + QLatin1String(bin)));
}

ScanRunResult FinishRun(UndelvoState& state, ProgressSink& progress, const char* notFoundKey) {
  FoundState& found = state.Scan.Found;
  AssessFoundFiles(state.Scan, state.Run);
  state.Run.End();
  found.DirList.clear();
  // The last files and records since the display's last count.
  progress.ShowFound(found.Counters());
  progress.ShowScanned(found.ScannedCount);
  progress.Done();
  progress.ShowRunning(false);
  SaveScanStatistics(state.Program.Registry, found.FoundCount);
  ScanRunResult result;
  result.end = ScanRunEnd::FilesFound;
  result.stopped = state.Run.Stopped();
  if (found.FoundCount != 0) return result;
  found.FoundFiles.Clear();
  result.end = ScanRunEnd::NothingFound;
  result.message = LangText(state.Program.Lang, "Process", notFoundKey);
  return result;
}

}  // namespace undelvo
