#pragma once
#include <cstddef>
#include <cstdint>

namespace undelvo {

// Bytes one LZNT1 chunk holds when decompressed; chunks after the first start
// at multiples of it.
inline constexpr size_t kLznt1ChunkBytes = 4096;

// Decompresses one compression unit of an NTFS compressed stream: the chunks
// in `in` (each a 2-byte header, bit 15 set when compressed, the low 12 bits
// the chunk's bytes minus 3) into `out`, chunk after chunk, up to `outSize`
// bytes. Ends at a header of 0, at the end of `in`, and at a damaged chunk (a
// chunk reaching past `in`, a back-reference before the chunk's start); what
// was decompressed before stays. Never reads or writes out of bounds. Returns
// the bytes written; `out` is not touched beyond them.
size_t Lznt1Decompress(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

}  // namespace undelvo
