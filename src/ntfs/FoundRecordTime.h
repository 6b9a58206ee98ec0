#pragma once
#include <cstdint>

#include "ntfs/NtfsState.h"

namespace undelvo {

// The creation time a scan listed for the found record at `locator` (a byte
// offset into the loaded records), as a file time; 0 when the record is
// outside the buffer or holds none.
uint64_t FoundRecordCreationTime(NtfsState& ntfs, int64_t locator);

}  // namespace undelvo
