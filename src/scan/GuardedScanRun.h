#pragma once
#include <functional>

#include "run/ProgressSink.h"
#include "scan/ScanRunResult.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Runs a scan run's body so that nothing it throws leaves the run: a damaged
// or crafted volume can make an engine ask for more memory than there is
// (std::bad_alloc, std::length_error), and a scan must end with its message,
// not abort the program. On a throw the run is ended, the store emptied and
// the result is the file system's read error ("MFT list reading error!" on
// NTFS, the boot sector message on FAT), as a refused check is.
ScanRunResult GuardedScanRun(UndelvoState& state, ProgressSink& progress,
                             const std::function<ScanRunResult()>& body);

}  // namespace undelvo
