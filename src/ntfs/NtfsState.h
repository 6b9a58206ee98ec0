#pragma once
#include <cstdint>
#include <vector>

#include "platform/PageAlignedAllocator.h"

namespace undelvo {

// One piece of the MFT on the volume.
struct MftExtent {
  int64_t start = 0;   // first cluster
  int64_t length = 0;  // clusters
};

// What the NTFS engine knows of the selected volume's master file table.
struct NtfsState {
  int64_t MFTStart = 0;        // cluster of the MFT's first record
  int32_t MFTRecordSize = 0;   // bytes of one MFT record
  std::vector<MftExtent> MFTExtents;
  // The MFT as loaded, extent after extent, plus spare zero bytes; kept until
  // the next NTFS scan, since found files locate their records in it.
  ReadBuffer MFTBuffer;
  int64_t MFTByteSize = 0;     // the loaded bytes of MFTBuffer
};

}  // namespace undelvo
