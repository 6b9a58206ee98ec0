#include "ntfs/Unit0NTFS.h"

#include "volume/LittleEndian.h"

namespace undelvo {

void DecodeRunList(const uint8_t* buffer, size_t size, size_t offset,
                   const std::function<void(const DataRun&)>& sink) {
  int64_t start = 0;
  size_t p = offset;
  while (p < size) {
    const uint8_t header = buffer[p];
    if (header == 0) return;
    const int L = header & 0x0F;
    const int F = header >> 4;
    if (L > 8 || F > 8 || !InBounds(size, p + 1, size_t(L + F))) return;
    const uint64_t rawLength = L ? ReadLE(buffer + p + 1, L) : 0;
    const int64_t length = rawLength > uint64_t(INT64_MAX) ? 0 : int64_t(rawLength);
    if (F == 0) {  // a hole: no clusters on the volume, and the next offset counts from the run before it
      sink(DataRun{start, length, 0, L, true});
      p += size_t(1 + L);
      if (L == 0) return;
      continue;
    }
    uint64_t rawOffset = ReadLE(buffer + p + 1 + L, F);
    if (F < 8 && (rawOffset >> (8 * F - 1)) & 1) rawOffset |= ~uint64_t(0) << (8 * F);  // sign-extend
    start = int64_t(uint64_t(start) + rawOffset);
    sink(DataRun{start, length, F, L, false});
    p += size_t(1 + L + F);
    if (L == 0) return;
  }
}

}  // namespace undelvo
