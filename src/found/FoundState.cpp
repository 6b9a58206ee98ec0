#include "found/FoundState.h"

namespace undelvo {

int32_t FoundState::TotalOfCategories() const {
  int32_t sum = 0;
  for (int c = 1; c <= 6; ++c) sum += CategoryCount[size_t(c)];
  return sum;
}

void FoundState::ResetForScan() {
  FoundFiles.Clear();
  OtherFiles.clear();
  DirList.clear();
  States.clear();
  FoundCount = 0;
  ScannedCount = 0;
  CategoryCount.fill(0);
}

}  // namespace undelvo
