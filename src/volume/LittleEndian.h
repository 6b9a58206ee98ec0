#pragma once
#include <cstddef>
#include <cstdint>

namespace undelvo {

// An unsigned little-endian number of `bytes` bytes (at most 8) at p.
inline uint64_t ReadLE(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

inline uint16_t ReadLE16(const uint8_t* p) { return uint16_t(ReadLE(p, 2)); }
inline uint32_t ReadLE32(const uint8_t* p) { return uint32_t(ReadLE(p, 4)); }
inline uint64_t ReadLE64(const uint8_t* p) { return ReadLE(p, 8); }

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
inline bool InBounds(size_t size, size_t offset, size_t length) {
  return offset <= size && length <= size - offset;
}

}  // namespace undelvo
