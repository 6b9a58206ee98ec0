#pragma once
#include <cstddef>
#include <cstdint>

// Limits and sizes the scans and restores of every file system share.

namespace undelvo {

// Folder walks and paths stop after this many levels: a deeper tree is taken
// for a loop (a damaged volume, a bind mount inside the volume), not a real one.
inline constexpr int kMaxFolderLevels = 64;

// Long reads and writes of a restore go in pieces of this size, so a large
// file never needs a buffer of its own size.
inline constexpr int64_t kRestorePieceBytes = int64_t(16) << 20;

// Zero bytes MFTBuffer holds after the loaded MFT (MFTByteSize): a margin
// past its last record, the same after either NTFS scan.
inline constexpr size_t kMftSpareBytes = 1024;

}  // namespace undelvo
