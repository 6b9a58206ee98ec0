#pragma once
#include <cstdint>
#include <vector>

#include "volume/ClusterExtent.h"
#include "platform/PageAlignedAllocator.h"

namespace undelvo {

// What the NTFS engine knows of the selected volume's master file table.
struct NtfsState {
  int64_t MFTStart = 0;        // cluster of the MFT's first record
  int32_t MFTRecordSize = 0;   // bytes of one MFT record
  std::vector<ClusterExtent> MFTExtents;  // the MFT's pieces on the volume, in order
  // The MFT as loaded, extent after extent, plus spare zero bytes; kept until
  // the next NTFS scan, since found files locate their records in it.
  ReadBuffer MFTBuffer;
  int64_t MFTByteSize = 0;     // the loaded bytes of MFTBuffer
};

}  // namespace undelvo
