#include "fat/Unit0FAT.h"

#include <unordered_set>

#include "volume/LittleEndian.h"

namespace undelvo {

namespace {

struct ChainFormat {
  int entryBytes;
  uint32_t mask;
  uint32_t endOfChain;  // entries from this value up end the chain
};

constexpr ChainFormat kFat16{2, 0xFFFF, 0xFFF8};
constexpr ChainFormat kFat32{4, 0x0FFFFFFF, 0x0FFFFFF8};

bool InTable(const FatState& fat, const ChainFormat& f, int64_t c) {
  return c >= 0 && c <= (fat.FatBytes - f.entryBytes) / f.entryBytes &&
         size_t(c + 1) * size_t(f.entryBytes) <= fat.FatTable.size();
}

uint32_t EntryOf(const FatState& fat, const ChainFormat& f, int64_t c) {
  const uint8_t* p = fat.FatTable.data() + size_t(c) * size_t(f.entryBytes);
  return (f.entryBytes == 2 ? ReadLE16(p) : ReadLE32(p)) & f.mask;
}

void Follow(const VolumeContext& volume, const FatState& fat, const ChainFormat& f, int64_t c,
            std::vector<int64_t>& list, RunControl& run) {
  list.clear();
  if (!InTable(fat, f, c) || c > volume.ClusterCount) return;
  list.push_back(c);
  // A cluster met twice means the table loops; a chain longer than the volume
  // has clusters cannot be real either.
  std::unordered_set<int64_t> seen{c};
  const int64_t lastCluster = volume.ClusterCount + 1;
  for (;;) {
    run.Pump();
    const uint32_t next = EntryOf(fat, f, c);
    if (next == 0 || next >= f.endOfChain || next < 2 || int64_t(next) > lastCluster) return;
    if (!InTable(fat, f, next) || !seen.insert(next).second || int64_t(list.size()) > volume.ClusterCount) return;
    list.push_back(next);
    c = next;
  }
}

}  // namespace

void FollowChain16(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                   RunControl& run) {
  Follow(volume, fat, kFat16, first, list, run);
}

void FollowChain32(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                   RunControl& run) {
  Follow(volume, fat, kFat32, first, list, run);
}

void FollowChain(const VolumeContext& volume, const FatState& fat, int64_t first, std::vector<int64_t>& list,
                 RunControl& run) {
  if (volume.FsKind == FsFat16) FollowChain16(volume, fat, first, list, run);
  else if (volume.FsKind == FsFat32) FollowChain32(volume, fat, first, list, run);
  else list.clear();
}

uint32_t FatEntry(const VolumeContext& volume, const FatState& fat, int64_t cluster) {
  const ChainFormat& f = volume.FsKind == FsFat32 ? kFat32 : kFat16;
  return InTable(fat, f, cluster) ? EntryOf(fat, f, cluster) : 0;
}

}  // namespace undelvo
