#pragma once
#include <QDateTime>
#include <cstdint>

#include "platform/RegistryStore.h"

namespace undelvo {

// What the scan panels show between scans: the last run's date, the files it
// found and the files recovered so far.
struct ScanStatistics {
  QDateTime LastRun;  // now when never stored
  int32_t Found = 0;
  int32_t Recovered = 0;
};

ScanStatistics LoadScanStatistics(const RegistryStore& store);

// Stores the end of a scan run: LastRun = now, nFound = `found`.
void SaveScanStatistics(RegistryStore& store, int32_t found);

// Adds a recovery's restored files to nRecovered.
void AddRecoveredFiles(RegistryStore& store, int32_t restored);

}  // namespace undelvo
