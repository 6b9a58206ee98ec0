#pragma once
#include <QString>

#include "run/ProgressSink.h"
#include "scan/ScanRunResult.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The quick scan of one drive: checks the drive ("C:", or a drive-list entry
// such as "C: (NTFS)", of which the first two characters count), reads its
// geometry, runs the engine of its file system, lists its Recycle Bin
// folders when the volume is mounted, and saves the statistics "LastRun" and
// "nFound". A Stop (state.Run.RequestStop(), from the pump) ends the run
// early; what was found so far stays in the store. Refused while another run
// is going on. Messages come from the language file, in the result.
ScanRunResult QuickScanRun(UndelvoState& state, ProgressSink& progress, const QString& selectedDrive);

}  // namespace undelvo
