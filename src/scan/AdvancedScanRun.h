#pragma once
#include <QString>

#include "run/ProgressSink.h"
#include "scan/ScanRunResult.h"
#include "scan/UndelvoState.h"

namespace undelvo {

struct AdvancedScanOptions {
  bool deep = false;  // the deep scan of the volume's file system instead of the quick one
  QString mask = QStringLiteral("*.*");  // one file-name pattern, used whole; empty means "*.*"
  QString name;       // a file-name search; when given it replaces the mask
};

// The twelve entries of the file-type list and the mask each stands for
// ("*.*", "*.txt", "*.doc" ...); an index outside 0..11 gives empty text.
QString TypeListMask(int index);

// The advanced scan of one drive: the quick scan's checks (on NTFS the deep
// mode needs no MFT map, since it finds the records itself), then the quick
// or the deep engine with the mask or name, the Recycle Bin (nothing after a
// deep scan), and the finish; with nothing found the message is "No deleted
// files were found matching this search criteria!".
ScanRunResult AdvancedScanRun(UndelvoState& state, ProgressSink& progress, const QString& selectedDrive,
                              const AdvancedScanOptions& options);

}  // namespace undelvo
