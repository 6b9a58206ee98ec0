#pragma once
#include <cstdint>

namespace undelvo {

// Bytes of memory the system can give without swapping (MemAvailable of
// /proc/meminfo); 0 when unknown.
uint64_t AvailablePhysicalMemory();

}  // namespace undelvo
