#pragma once
#include <cstdint>

namespace undelvo {

// Consecutive clusters on the volume: a piece of the MFT, a data run.
struct ClusterExtent {
  int64_t start = 0;   // first cluster
  int64_t length = 0;  // clusters

  bool operator==(const ClusterExtent&) const = default;
};

}  // namespace undelvo
