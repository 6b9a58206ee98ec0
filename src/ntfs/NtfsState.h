#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "volume/ClusterExtent.h"
#include "platform/PageAlignedAllocator.h"

namespace undelvo {

// What is learnt of MFTBuffer's records while files with attribute lists are
// read; it belongs to one loaded buffer and is cleared whenever it is reloaded.
struct RecordIndex {
  // Record number (offset 44) -> byte offset in MFTBuffer. Built on first use:
  // a deep scan's zones do not keep record n at n x record size.
  std::unordered_map<uint32_t, int64_t> offsets;
  bool built = false;
  // The content of the non-resident attribute lists met by the scan, by the
  // base record's byte offset: read from the volume once, for the restore.
  std::unordered_map<int64_t, std::vector<uint8_t>> attributeLists;

  void Clear() {
    offsets.clear();
    built = false;
    attributeLists.clear();
  }
};

// What the NTFS engine knows of the selected volume's master file table.
struct NtfsState {
  int64_t MFTStart = 0;        // cluster of the MFT's first record
  int32_t MFTRecordSize = 0;   // bytes of one MFT record
  std::vector<ClusterExtent> MFTExtents;  // the MFT's pieces on the volume, in order
  // The MFT as loaded, extent after extent, plus spare zero bytes; kept until
  // the next NTFS scan, since found files locate their records in it.
  ReadBuffer MFTBuffer;
  int64_t MFTByteSize = 0;     // the loaded bytes of MFTBuffer
  RecordIndex Records;         // of MFTBuffer as loaded
};

}  // namespace undelvo
