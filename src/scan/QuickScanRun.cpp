#include "scan/QuickScanRun.h"

#include "ntfs/NTFSFind1.h"
#include "scan/ScanRunSteps.h"

namespace undelvo {

ScanRunResult QuickScanRun(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive) {
  QString mountPoint;
  if (auto refused = CheckDrive(state, hooks, selectedDrive, true, mountPoint)) return *refused;
  PrepareRun(state, hooks);
  if (state.Volume.FsKind == FsNtfs) {
    NTFSFind1(state, hooks);
  } else {
    ScanFatFolders(state, hooks, mountPoint);
  }
  ScanRecycleBins(state, hooks, mountPoint);
  return FinishRun(state, hooks, "NotFound1");
}

}  // namespace undelvo
