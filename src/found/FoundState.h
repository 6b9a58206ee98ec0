#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "found/FoundFiles.h"
#include "found/Recoverability.h"
#include "run/ProgressSink.h"

namespace undelvo {

// Everything a scan collects.
struct FoundState {
  ::undelvo::FoundFiles FoundFiles;         // categories 1..5 of the engines, every Recycle Bin file
  QStringList OtherFiles;    // "name=entry value" lines of category 6
  QStringList DirList;       // folders for the FAT quick scan, each ending in a separator
  FoundFileStates States;    // every found file's recoverability, by its entry value

  int32_t FoundCount = 0;
  std::array<int32_t, 7> CategoryCount{};  // [1..6]; [0] unused
  int32_t ScannedCount = 0;
  int32_t FileCategory = 0;

  int32_t TotalOfCategories() const;
  FoundCounters Counters() const { return {FoundCount, CategoryCount}; }
  // The reset at the start of a scan run: store, lists and every counter.
  void ResetForScan();
};

}  // namespace undelvo
