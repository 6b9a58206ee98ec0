#include "ntfs/Unit0NTFS.h"

#include "volume/LittleEndian.h"

namespace undelvo {

namespace {
constexpr size_t kStride = 512;
}

int32_t RecordSizeFromUpdateSequence(const uint8_t* record, size_t available) {
  if (available < 8) return 0;
  const int count = ReadLE16(record + 6);
  if (count < 2 || count > 129) return 0;  // records run from 512 bytes to 64 KiB
  return int32_t((count - 1) * kStride);
}

bool ApplyFixup(uint8_t* record, size_t recordSize) {
  if (recordSize < 8) return false;
  const size_t arrayOffset = ReadLE16(record + 4);
  const size_t count = ReadLE16(record + 6);
  if (count < 2 || !InBounds(recordSize, arrayOffset, 2 * count) || (count - 1) * kStride > recordSize)
    return false;
  for (size_t i = 1; i < count; ++i) {
    uint8_t* tail = record + i * kStride - 2;
    const uint8_t* saved = record + arrayOffset + 2 * i;
    tail[0] = saved[0];
    tail[1] = saved[1];
  }
  return true;
}

}  // namespace undelvo
