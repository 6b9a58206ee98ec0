#include "platform/MemoryStatus.h"

#include <cstdio>
#include <cstring>

namespace undelvo {

uint64_t AvailablePhysicalMemory() {
  FILE* f = std::fopen("/proc/meminfo", "re");
  if (!f) return 0;
  char line[256];
  unsigned long long kib = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) break;
  std::fclose(f);
  return uint64_t(kib) * 1024;
}

}  // namespace undelvo
