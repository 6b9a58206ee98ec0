#include "ntfs/Unit0NTFS.h"

#include "volume/LittleEndian.h"
#include "volume/NtfsLayout.h"

namespace undelvo {

int32_t RecordSizeFromUpdateSequence(const uint8_t* record, size_t available) {
  if (available < kRecordUpdateSequenceCount + 2) return 0;
  const int count = ReadLE16(record + kRecordUpdateSequenceCount);
  if (count < 2 || count > 129) return 0;  // records run from 512 bytes to 64 KiB
  return int32_t((count - 1) * kFixupStride);
}

bool ApplyFixup(uint8_t* record, size_t recordSize) {
  if (recordSize < kRecordUpdateSequenceCount + 2) return false;
  const size_t arrayOffset = ReadLE16(record + kRecordUpdateSequenceOffset);
  const size_t count = ReadLE16(record + kRecordUpdateSequenceCount);
  if (count < 2 || !InBounds(recordSize, arrayOffset, 2 * count) || (count - 1) * kFixupStride > recordSize)
    return false;
  for (size_t i = 1; i < count; ++i) {
    uint8_t* tail = record + i * kFixupStride - 2;
    const uint8_t* saved = record + arrayOffset + 2 * i;
    tail[0] = saved[0];
    tail[1] = saved[1];
  }
  return true;
}

}  // namespace undelvo
