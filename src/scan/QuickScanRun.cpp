#include "scan/QuickScanRun.h"

#include "ntfs/NTFSFind1.h"
#include "scan/GuardedScanRun.h"
#include "scan/ScanRunSteps.h"

namespace undelvo {

ScanRunResult QuickScanRun(UndelvoState& state, ProgressSink& progress, const QString& selectedDrive) {
  return GuardedScanRun(state, progress, [&] {
    if (auto refused = CheckDrive(state, selectedDrive, true)) return *refused;
    PrepareRun(state, progress);
    ScanState& scan = state.Scan;
    if (scan.Volume.FsKind == FsNtfs) {
      NTFSFind1(scan.Volume, scan.Ntfs, scan.Found, scan.NameMask, state.Run, progress);
    } else {
      ScanFatFolders(state, progress);
    }
    ScanRecycleBins(state, progress);
    return FinishRun(state, progress, "NotFound1");
  });
}

}  // namespace undelvo
