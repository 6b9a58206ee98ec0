#include "ntfs/Lznt1.h"

#include <algorithm>
#include <cstring>

#include "volume/LittleEndian.h"

namespace undelvo {

namespace {

inline constexpr uint16_t kChunkCompressed = 0x8000;
inline constexpr uint16_t kChunkSizeMask = 0x0FFF;
inline constexpr size_t kChunkHeaderBytes = 2;

// Decompresses the tokens of one compressed chunk (`data`, `size` bytes) into
// `out` (room for `room` bytes, at most a chunk's worth). Returns the bytes
// written, or false in `sound` when a back-reference reaches before the start.
size_t DecompressChunk(const uint8_t* data, size_t size, uint8_t* out, size_t room, bool& sound) {
  size_t in = 0, pos = 0;
  sound = true;
  while (in < size && pos < room) {
    const uint8_t flags = data[in++];
    for (int bit = 0; bit < 8 && in < size && pos < room; ++bit) {
      if (!((flags >> bit) & 1)) {
        out[pos++] = data[in++];
        continue;
      }
      if (in + 2 > size) return pos;  // a token cut off by the chunk's end
      const uint16_t token = uint16_t(ReadLE(data + in, 2));
      in += 2;
      // The further into the chunk, the more bits the offset takes from the
      // length: 4 offset bits up to position 16, one more at each doubling.
      int offsetBits = 4;
      for (size_t v = pos > 0 ? pos - 1 : 0; v >= 0x10; v >>= 1) ++offsetBits;
      const int lengthBits = 16 - offsetBits;
      const size_t back = size_t(token >> lengthBits) + 1;
      const size_t length = size_t(token & ((1u << lengthBits) - 1)) + 3;
      if (back > pos) {
        sound = false;
        return pos;
      }
      // Byte by byte: a reference may overlap what it produces.
      for (size_t k = 0; k < length && pos < room; ++k, ++pos) out[pos] = out[pos - back];
    }
  }
  return pos;
}

}  // namespace

size_t Lznt1Decompress(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
  size_t at = 0, written = 0;
  for (size_t chunkStart = 0; chunkStart < outSize; chunkStart += kLznt1ChunkBytes) {
    if (at + kChunkHeaderBytes > inSize) break;
    const uint16_t header = uint16_t(ReadLE(in + at, 2));
    if (header == 0) break;
    const size_t dataBytes = size_t(header & kChunkSizeMask) + 3 - kChunkHeaderBytes;
    at += kChunkHeaderBytes;
    if (dataBytes > inSize - at) break;  // a chunk reaching past the unit's data
    const size_t room = std::min(kLznt1ChunkBytes, outSize - chunkStart);
    size_t produced = 0;
    bool sound = true;
    if (header & kChunkCompressed) {
      produced = DecompressChunk(in + at, dataBytes, out + chunkStart, room, sound);
    } else {
      produced = std::min(dataBytes, room);
      std::memcpy(out + chunkStart, in + at, produced);
    }
    if (produced > 0) {
      // A chunk shorter than a whole one leaves zeros up to the next.
      if (chunkStart > written) std::memset(out + written, 0, chunkStart - written);
      written = chunkStart + produced;
    }
    if (!sound) break;
    at += dataBytes;
  }
  return written;
}

}  // namespace undelvo
