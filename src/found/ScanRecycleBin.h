#pragma once
#include <QString>

#include "found/FoundState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"

namespace undelvo {

// Records every file below a Recycle Bin folder (a live folder on the mounted
// volume, e.g. "<mount point>/$RECYCLE.BIN") in the found-file store, with
// the locator "R" and its full path, so a recovery copies it. A missing
// folder yields nothing; links are not followed; `nameMask` narrows the
// files but every folder is entered. Does nothing once the run is stopped.
void ScanRecycleBin(FoundState& found, const QString& nameMask, RunControl& run, ProgressSink& progress,
                    const QString& folder);

}  // namespace undelvo
