#pragma once
#include <QString>

#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

enum class ScanRunEnd {
  CheckFailed,   // a check refused the drive; nothing ran, no statistic written
  NothingFound,  // the run finished without a file; the store is empty
  FilesFound,    // the run finished (perhaps stopped early) with files in the store
};

struct ScanRunResult {
  ScanRunEnd end = ScanRunEnd::CheckFailed;
  QString message;  // shown to the user: a check's refusal or "Found 0 deleted files..."
};

// The quick scan of one drive: checks the drive ("C:", or a drive-list entry
// such as "C: (NTFS)", of which the first two characters count), reads its
// geometry, runs the engine of its file system, lists its Recycle Bin
// folders when the volume is mounted, and saves the statistics "LastRun" and
// "nFound". Clearing Busy (from the hooks' Pump) stops the run early; what
// was found so far stays in the store. Messages come from the language file
// and are also passed to hooks.ShowMessage.
ScanRunResult QuickScanRun(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive);

}  // namespace undelvo
