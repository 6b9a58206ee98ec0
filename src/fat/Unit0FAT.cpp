#include "fat/Unit0FAT.h"

#include <algorithm>
#include <unordered_set>

#include "volume/LittleEndian.h"

namespace undelvo {

namespace {

struct ChainFormat {
  int entryBits;
  uint32_t mask;
  uint32_t endOfChain;  // entries from this value up end the chain
};

constexpr ChainFormat kFat12{12, 0x0FFF, 0x0FF8};
constexpr ChainFormat kFat16{16, 0xFFFF, 0xFFF8};
constexpr ChainFormat kFat32{32, 0x0FFFFFFF, 0x0FFFFFF8};

// Entries that lie wholly inside the table (loaded and declared); a 12-bit
// entry is read as the 16 bits that hold it.
int64_t EntriesInTable(const FatState& fat, const ChainFormat& f) {
  const int64_t bytes = std::min<int64_t>(fat.FatBytes, int64_t(fat.FatTable.size()));
  if (bytes <= 0) return 0;
  return bytes * 8 / f.entryBits;  // for 12 bits too: entry c is read at byte c x 3 / 2
}

bool InTable(const FatState& fat, const ChainFormat& f, int64_t c) { return c >= 0 && c < EntriesInTable(fat, f); }

uint32_t EntryOf(const FatState& fat, const ChainFormat& f, int64_t c) {
  if (f.entryBits == 12) {
    const uint16_t pair = ReadLE16(fat.FatTable.data() + size_t(c) * 3 / 2);
    return (c & 1) ? pair >> 4 : pair & 0x0FFF;
  }
  const uint8_t* p = fat.FatTable.data() + size_t(c) * size_t(f.entryBits / 8);
  return (f.entryBits == 16 ? ReadLE16(p) : ReadLE32(p)) & f.mask;
}

const ChainFormat* FormatOf(const VolumeContext& volume, const FatState& fat) {
  if (volume.FsKind == FsFat16) return fat.Fat12 ? &kFat12 : &kFat16;
  if (volume.FsKind == FsFat32) return &kFat32;
  return nullptr;
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
  if (const ChainFormat* f = FormatOf(volume, fat)) Follow(volume, fat, *f, first, list, run);
  else list.clear();
}

uint32_t FatEntry(const VolumeContext& volume, const FatState& fat, int64_t cluster) {
  const ChainFormat* f = FormatOf(volume, fat);
  return f && InTable(fat, *f, cluster) ? EntryOf(fat, *f, cluster) : 0;
}

int64_t FatEntryCount(const VolumeContext& volume, const FatState& fat) {
  const ChainFormat* f = FormatOf(volume, fat);
  return f ? EntriesInTable(fat, *f) : 0;
}

}  // namespace undelvo
