#pragma once
#include <QString>
#include <optional>

#include "run/ProgressSink.h"
#include "scan/ScanRunResult.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The pieces the quick and the advanced scan runs share.

// A run refused by a check: its message (`section`/`key` in the language
// file) and the key itself in `check`, so a front end can add a hint.
ScanRunResult RefusedRun(const UndelvoState& state, const char* section, const char* key);

// The checks before a run: no other run is going on, the drive is listed and
// present, its file system is FAT or NTFS, its geometry (and, when
// `needMftMap`, the MFT's map) or FAT can be read. Sets DriveRoot, FsKind,
// the geometry and the scan's MountPoint; a refusal comes back with its message.
std::optional<ScanRunResult> CheckDrive(UndelvoState& state, const QString& selectedDrive, bool needMftMap);

// The run's start: counters, lists and the store emptied, progress at zero,
// NameMask "*.*", the run begun.
void PrepareRun(UndelvoState& state, ProgressSink& progress);

// The FAT quick scan over the folders: the root and every live folder (sorted
// without regard to letter case), then each folder of DirList in turn while
// the engine appends the subfolders it meets, deleted ones included.
void ScanFatFolders(UndelvoState& state, ProgressSink& progress);

// Both Recycle Bin folders of a mounted volume (nothing once the run is stopped).
void ScanRecycleBins(UndelvoState& state, ProgressSink& progress);

// The finish, after a stop too: the run ended, progress full, the statistics
// saved; with nothing found the store is emptied and the result carries the
// message of `notFoundKey` (section "Process").
ScanRunResult FinishRun(UndelvoState& state, ProgressSink& progress, const char* notFoundKey);

}  // namespace undelvo
