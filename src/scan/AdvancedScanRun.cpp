#include "scan/AdvancedScanRun.h"

#include "fat/FATFind2.h"
#include "ntfs/NTFSFind1.h"
#include "ntfs/NTFSFind2.h"
#include "scan/ScanRunSteps.h"

namespace undelvo {

QString TypeListMask(int index) {
  static const char* const kMasks[12] = {"*.*",   "*.txt", "*.doc", "*.xls", "*.jpg", "*.gif",
                                         "*.mp3", "*.wma", "*.mpg", "*.avi", "*.zip", "*.rar"};
  return index >= 0 && index < 12 ? QString::fromLatin1(kMasks[index]) : QString();
}

ScanRunResult AdvancedScanRun(UndelvoState& state, ScanHooks& hooks, const QString& selectedDrive,
                              const AdvancedScanOptions& options) {
  QString mountPoint;
  if (auto refused = CheckDrive(state, hooks, selectedDrive, !options.deep, mountPoint)) return *refused;
  PrepareRun(state, hooks);
  state.NameMask = options.mask.isEmpty() ? QStringLiteral("*.*") : options.mask;
  if (!options.name.isEmpty()) state.NameMask = options.name;
  const bool ntfs = state.Volume.FsKind == FsNtfs;
  if (options.deep) {
    if (ntfs) NTFSFind2(state, hooks);
    else FATFind2(state, hooks, mountPoint);
  } else {
    if (ntfs) NTFSFind1(state, hooks);
    else ScanFatFolders(state, hooks, mountPoint);
  }
  ScanRecycleBins(state, hooks, mountPoint);
  return FinishRun(state, hooks, "NotFound2");
}

}  // namespace undelvo
