#pragma once
#include "run/RunControl.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Gives every file the last scan found its recoverability (Found.States):
// on NTFS from the cluster bitmap, read once here, on FAT from the loaded
// allocation table; a file still in the Recycle Bin is a live file and good.
// Reads no file's contents.
void AssessFoundFiles(ScanState& scan, RunControl& run);

}  // namespace undelvo
