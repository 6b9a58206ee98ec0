#pragma once
#include <QString>

#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Records every file below a Recycle Bin folder (a live folder on the mounted
// volume, e.g. "<mount point>/$RECYCLE.BIN") in the found-file store, with
// the locator "R" and its full path, so a recovery copies it. A missing
// folder yields nothing; links are not followed; NameMask narrows the files
// but every folder is entered. Does nothing once Busy is 0.
void ScanRecycleBin(UndelvoState& state, ScanHooks& hooks, const QString& folder);

}  // namespace undelvo
