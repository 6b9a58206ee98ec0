#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "found/FoundFiles.h"

namespace undelvo {

// One row of the results list.
struct TDataItem {
  QString Str1;  // file name
  QString Str2;  // path
  QString Str3;  // date
  QString Str4;  // size in kilobytes, " kb"
  int32_t IconNumber = 0;
};

// Everything a scan collects, and the lists the results view builds from it.
struct FoundState {
  ::undelvo::FoundFiles FoundFiles;         // categories 1..5 of the engines, every Recycle Bin file
  QStringList OtherFiles;    // "name=entry value" lines of category 6
  QStringList DirList;       // folders for the FAT quick scan, each ending in a separator
  QStringList CountList;     // scratch list for counting a section's keys
  QStringList ViewList;      // entry values of the rows shown
  std::vector<TDataItem> DataArray;  // the rows shown, parallel to ViewList

  int32_t FoundCount = 0;
  std::array<int32_t, 7> CategoryCount{};  // [1..6]; [0] unused
  int32_t ScannedCount = 0;
  int32_t FileCategory = 0;

  int32_t TotalOfCategories() const;
  // The reset at the start of a scan run: store, lists and every counter.
  void ResetForScan();
};

}  // namespace undelvo
