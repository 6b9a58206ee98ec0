#pragma once
#include <QString>

namespace undelvo {

enum class ScanRunEnd {
  AlreadyRunning,  // another run was going on; nothing was done
  CheckFailed,     // a check refused the drive; nothing ran, no statistic written
  NothingFound,    // the run finished without a file; the store is empty
  FilesFound,      // the run finished (perhaps stopped early) with files in the store
};

struct ScanRunResult {
  ScanRunEnd end = ScanRunEnd::CheckFailed;
  QString message;       // for the user: a check's refusal or "Found 0 deleted files..."
  bool stopped = false;  // a Stop ended the run early; what it found stays
  QString check;         // the refusing check's message as "Section/Key" ("Drive/Message9"), so a
                         // front end can add its own hint; empty unless CheckFailed
};

}  // namespace undelvo
