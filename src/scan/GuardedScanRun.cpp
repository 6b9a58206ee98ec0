#include "scan/GuardedScanRun.h"

#include <exception>

#include "scan/ScanRunSteps.h"
#include "volume/VolumeContext.h"

namespace undelvo {

ScanRunResult GuardedScanRun(UndelvoState& state, ProgressSink& progress,
                             const std::function<ScanRunResult()>& body) {
  try {
    return body();
  } catch (const std::exception&) {
    // Whatever the engine held is let go before the message is looked up.
    state.Scan.Ntfs.MFTBuffer = {};
    state.Scan.Ntfs.MFTExtents.clear();
    state.Scan.Ntfs.Records.Clear();
    state.Scan.Fat.FatTable = {};
    state.Scan.Found.ResetForScan();
    state.Scan.Found.DirList.clear();
    if (state.Run.Busy()) state.Run.End();
    progress.ShowRunning(false);
    const bool ntfs = state.Scan.Volume.FsKind == FsNtfs;
    return RefusedRun(state, "Drive", ntfs ? "Message9" : "Message7");
  }
}

}  // namespace undelvo
