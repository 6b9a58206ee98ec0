#include "scan/AdvancedScanRun.h"

#include "fat/FATFind2.h"
#include "ntfs/NTFSFind1.h"
#include "ntfs/NTFSFind2.h"
#include "scan/GuardedScanRun.h"
#include "scan/ScanRunSteps.h"

namespace undelvo {

QString TypeListMask(int index) {
  static const char* const kMasks[12] = {"*.*",   "*.txt", "*.doc", "*.xls", "*.jpg", "*.gif",
                                         "*.mp3", "*.wma", "*.mpg", "*.avi", "*.zip", "*.rar"};
  return index >= 0 && index < 12 ? QString::fromLatin1(kMasks[index]) : QString();
}

ScanRunResult AdvancedScanRun(UndelvoState& state, ProgressSink& progress, const QString& selectedDrive,
                              const AdvancedScanOptions& options) {
  return GuardedScanRun(state, progress, [&] {
    if (auto refused = CheckDrive(state, selectedDrive, !options.deep)) return *refused;
    PrepareRun(state, progress);
    ScanState& scan = state.Scan;
    scan.NameMask = options.mask.isEmpty() ? QStringLiteral("*.*") : options.mask;
    if (!options.name.isEmpty()) scan.NameMask = options.name;
    const bool ntfs = scan.Volume.FsKind == FsNtfs;
    if (options.deep) {
      if (ntfs) NTFSFind2(scan.Volume, scan.Ntfs, scan.Found, scan.NameMask, state.Run, progress);
      else FATFind2(scan.Volume, scan.Fat, scan.Found, scan.NameMask, state.Run, progress, scan.MountPoint);
    } else {
      if (ntfs) NTFSFind1(scan.Volume, scan.Ntfs, scan.Found, scan.NameMask, state.Run, progress);
      else ScanFatFolders(state, progress);
      // A deep scan lists no Recycle Bin: it looks for what the file system lost.
      ScanRecycleBins(state, progress);
    }
    return FinishRun(state, progress, "NotFound2");
  });
}

}  // namespace undelvo
