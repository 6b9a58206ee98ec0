#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "found/FoundRows.h"
#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Copies a file still in the Recycle Bin into `saveFolder` under its own
// name; false when the source is gone or a file of that name exists.
bool CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder);

// Restores `rows` (found by the last scan of the current drive) into
// Config.SaveFolder, which must exist: Recycle Bin rows are copied, the others
// written by the engine of the volume's file system. Progress goes to the
// hooks as a rounded percentage before each row; clearing Busy (from Pump)
// lets the remaining rows pass. Returns the number of files written.
int32_t RecoverRows(UndelvoState& state, ScanHooks& hooks, const std::vector<FoundRow>& rows);

}  // namespace undelvo
