#include "scan/GuardedScanRun.h"

#include <exception>

#include "settings/LanguageFile.h"
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
    const char* key = ntfs ? "Message9" : "Message7";
    ScanRunResult result;
    result.end = ScanRunEnd::CheckFailed;
    result.message = LangText(state.Program.Lang, "Drive", key);
    result.check = QStringLiteral("Drive/") + QLatin1String(key);
    return result;
  }
}

}  // namespace undelvo
