#pragma once
#include <QString>
#include <optional>

#include "scan/QuickScanRun.h"
#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The pieces the quick and the advanced scan runs share.

// The checks before a run: the drive is listed and present, its file system
// is FAT or NTFS, its geometry (and, when `needMftMap`, the MFT's map) or
// FAT can be read. Sets DriveRoot, FsKind and the geometry; a refusal comes
// back with its message (also passed to hooks.ShowMessage). `mountPoint` gets
// where the volume is mounted (empty when it is not).
std::optional<ScanRunResult> CheckDrive(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive,
                                        bool needMftMap, QString& mountPoint);

// The run's start: counters, lists and the store emptied, progress at zero,
// NameMask "*.*", Busy 1.
void PrepareRun(UndelvoState& state, ScanHooks& hooks);

// The FAT quick scan over the folders: the root and every live folder (sorted
// without regard to letter case), then each folder of DirList in turn while
// the engine appends the subfolders it meets, deleted ones included.
void ScanFatFolders(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint);

// Both Recycle Bin folders of a mounted volume (nothing once Busy is 0).
void ScanRecycleBins(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint);

// The finish, after a stop too: Busy 0, progress full, the statistics saved;
// with nothing found the store is emptied and the message of `notFoundKey`
// (section "Process") is shown.
ScanRunResult FinishRun(UndelvoState& state, ScanHooks& hooks, const char* notFoundKey);

}  // namespace undelvo
