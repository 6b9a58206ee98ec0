#include "ntfs/NtfsBitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr uint64_t kBitmapRecord = 6;

// Set bits among bits [from, to) of `bits`.
int64_t CountSetBits(const uint8_t* bits, int64_t from, int64_t to) {
  int64_t set = 0;
  int64_t i = from;
  for (; i < to && (i & 7); ++i) set += (bits[i >> 3] >> (i & 7)) & 1;
  for (; i + 64 <= to; i += 64) {
    uint64_t word;
    std::memcpy(&word, bits + (i >> 3), 8);
    set += std::popcount(word);
  }
  for (; i + 8 <= to; i += 8) set += std::popcount(unsigned(bits[i >> 3]));
  for (; i < to; ++i) set += (bits[i >> 3] >> (i & 7)) & 1;
  return set;
}

}  // namespace

int64_t ClusterBitmap::CountNotFree(int64_t start, int64_t count) const {
  if (count <= 0) return 0;
  if (start < 0 || start >= clusters) return count;
  const int64_t inside = std::min(count, clusters - start);
  return CountSetBits(bits.data(), start, start + inside) + (count - inside);
}

bool LoadClusterBitmap(const VolumeContext& volume, const NtfsState& ntfs, ClusterBitmap& out) {
  out = {};
  const int64_t bps = volume.BytesPerSector, clusterBytes = volume.BytesPerCluster;
  const int64_t recordSize = ntfs.MFTRecordSize;
  if (bps <= 0 || clusterBytes <= 0 || recordSize <= 0 || ntfs.MFTStart <= 0 || volume.ClusterCount <= 0 ||
      ntfs.MFTStart > INT64_MAX / clusterBytes)
    return false;
  // The first records of the MFT lie together where it begins.
  const int64_t at = ntfs.MFTStart * clusterBytes + int64_t(kBitmapRecord) * recordSize;
  const int64_t readBytes = (at % bps + recordSize + bps - 1) / bps * bps;
  std::vector<uint8_t> sectors(static_cast<size_t>(readBytes));
  if (!ReadSectors(volume, uint64_t(at / bps), sectors.data(), readBytes)) return false;
  uint8_t* record = sectors.data() + at % bps;
  RecordAttributes attrs;
  if (std::memcmp(record, kFileRecordSignature, kFileRecordSignatureBytes) != 0 ||
      !ApplyFixup(record, size_t(recordSize)) || !WalkAttributes(record, size_t(recordSize), attrs) || !attrs.data)
    return false;

  // One bit per cluster of the volume, whatever size the record claims.
  const int64_t bytes = std::min(DataSize(record, size_t(recordSize), attrs), (volume.ClusterCount + 7) / 8);
  if (bytes <= 0) return false;
  std::vector<uint8_t> bits;
  bits.reserve(size_t(bytes) + 8);
  if (record[attrs.data + kAttrNonResident] == 0) {
    size_t offset = 0, length = 0;
    if (!ResidentContent(record, size_t(recordSize), attrs.data, offset, length)) return false;
    bits.assign(record + offset, record + offset + std::min<size_t>(length, size_t(bytes)));
  } else {
    if (!InBounds(size_t(recordSize), attrs.data, kNonResidentHeaderBytes)) return false;
    const size_t attributeEnd = attrs.data + ReadLE32(record + attrs.data + kAttrLength);
    std::vector<DataRun> runs;
    DecodeRunList(record, attributeEnd, attrs.data + ReadLE16(record + attrs.data + kAttrRunListOffset),
                  [&](const DataRun& run) { runs.push_back(run); });
    std::vector<uint8_t> piece;
    for (const DataRun& run : runs) {
      const int64_t want = bytes - int64_t(bits.size());
      if (want <= 0) break;
      if (run.length <= 0 || run.length > volume.ClusterCount) return false;
      const int64_t runBytes = std::min(run.length * clusterBytes, (want + bps - 1) / bps * bps);
      piece.resize(size_t(runBytes));
      if (run.sparse) std::fill(piece.begin(), piece.end(), uint8_t(0));
      else if (run.start < 0 || !ReadSectors(volume, ClusterToSector(volume, uint64_t(run.start)), piece.data(), runBytes))
        return false;
      bits.insert(bits.end(), piece.begin(), piece.begin() + std::min(runBytes, want));
    }
  }
  if (bits.empty()) return false;
  out.clusters = std::min(volume.ClusterCount, int64_t(bits.size()) * 8);
  bits.resize(bits.size() + 8, 0);  // room for the last word's read
  out.bits = std::move(bits);
  return true;
}

}  // namespace undelvo
