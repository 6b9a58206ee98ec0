// LZNT1 decompression of one compression unit, as the restore of a
// compressed NTFS stream runs it: the output never grows past the unit (the
// buffer is exactly as large, so the address sanitizer sees any byte past it),
// and nothing beyond the bytes it reports is written.
#include <vector>

#include "FuzzSupport.h"
#include "ntfs/Lznt1.h"

using namespace undelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the unit: up to 16 chunks, or a size that is not a
  // whole number of chunks.
  const size_t unit = data[0] & 0x80 ? size_t(data[0] & 0x7F) * 97 : size_t(data[0] % 17) * kLznt1ChunkBytes;
  constexpr uint8_t kUntouched = 0xA5;
  std::vector<uint8_t> out(unit, kUntouched);
  const size_t written = Lznt1Decompress(data + 1, size - 1, out.data(), unit);
  if (written > unit) fuzz::Fail("more bytes than the unit holds");
  for (size_t i = written; i < unit; ++i)
    if (out[i] != kUntouched) fuzz::Fail("a byte written past the reported end");
  return 0;
}
