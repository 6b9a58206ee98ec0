#pragma once
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "found/FoundRows.h"
#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Copies a file still in the Recycle Bin into `saveFolder` under its own
// name; false when the source is gone or a file of that name exists, or when
// the copy cannot be written (then `error` gets the system's error number
// and the half copy is removed).
bool CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder, int* error = nullptr);

struct RecoverResult {
  int32_t restored = 0;  // files written
  // Rows whose file could not be created or written (a full disk, no rights):
  // the row's name and the system's error number.
  std::vector<std::pair<QString, int>> failed;
};

// Restores `rows` (found by the last scan of the current drive) into
// Config.SaveFolder, which must exist: Recycle Bin rows are copied, the others
// written by the engine of the volume's file system. Progress goes to the
// hooks as a rounded percentage before each row; clearing Busy (from Pump)
// lets the remaining rows pass. A row that cannot be written is reported in
// the result and the run goes on with the next.
RecoverResult RecoverRows(UndelvoState& state, ScanHooks& hooks, const std::vector<FoundRow>& rows);

}  // namespace undelvo
