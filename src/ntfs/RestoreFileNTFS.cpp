#include "ntfs/RestoreFileNTFS.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "ntfs/AttributeList.h"
#include "ntfs/Lznt1.h"
#include "ntfs/MftRecord.h"
#include "volume/EngineLimits.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

// The widest compression unit taken (2^8 clusters); NTFS writes 2^4.
inline constexpr int kMaxCompressionUnitShift = 8;

// Reads `bytes` bytes at cluster `start` into `out`, whole sectors; zeros
// where the volume cannot be read.
void ReadClusterBytes(const VolumeContext& volume, int64_t start, int64_t skip, int64_t bytes, uint8_t* out,
                      std::vector<uint8_t>& scratch) {
  const int64_t readBytes = (bytes + volume.BytesPerSector - 1) / volume.BytesPerSector * volume.BytesPerSector;
  scratch.resize(size_t(readBytes));
  ReadSectors(volume, ClusterToSector(volume, uint64_t(start)) + uint64_t(skip / volume.BytesPerSector), scratch.data(),
              readBytes);  // zeros when unreadable
  std::memcpy(out, scratch.data(), size_t(bytes));
}

// The runs as they lie, holes as zeros, in pieces.
int64_t ReadPlainContent(const VolumeContext& volume, const TMFTFile& file, int64_t size, RunControl* run,
                         const ContentSink& sink) {
  int64_t done = 0;
  std::vector<uint8_t> piece, scratch;
  for (const FileRun& extent : file.Runs) {
    if ((run && !run->Continue()) || done >= size) break;
    if (!UsableRun(extent, volume)) break;
    const int64_t runBytes = extent.length * volume.BytesPerCluster;
    for (int64_t at = 0; at < runBytes && done < size; at += kRestorePieceBytes) {
      const int64_t bytes = std::min({kRestorePieceBytes, runBytes - at, size - done});
      piece.resize(size_t(bytes));
      if (extent.sparse) std::fill(piece.begin(), piece.end(), uint8_t(0));
      else ReadClusterBytes(volume, extent.start, at, bytes, piece.data(), scratch);
      if (!sink(piece.data(), size_t(bytes))) return done;
      done += bytes;
    }
  }
  return done;
}

// A compressed stream, one compression unit at a time: a unit whose clusters
// are all on the volume is stored as it is, one without any is zeros, and
// one with some holds LZNT1 chunks in the clusters it has.
int64_t ReadCompressedContent(const VolumeContext& volume, const TMFTFile& file, int64_t size, RunControl* run,
                              const ContentSink& sink) {
  const int64_t clusterBytes = volume.BytesPerCluster;
  const int64_t unitClusters = file.CompressionUnitClusters;
  const int64_t unitBytes = unitClusters * clusterBytes;
  std::vector<uint8_t> stored(static_cast<size_t>(unitBytes)), plain(static_cast<size_t>(unitBytes)), scratch;
  size_t r = 0;          // the run holding the next cluster
  int64_t inRun = 0;     // clusters of run r already taken
  int64_t done = 0;
  while (done < size && r < file.Runs.size()) {
    if (run && !run->Continue()) break;
    std::fill(stored.begin(), stored.end(), uint8_t(0));
    int64_t taken = 0, onVolume = 0, storedEnd = 0;
    bool damaged = false;
    while (taken < unitClusters && r < file.Runs.size()) {
      const FileRun& extent = file.Runs[r];
      if (!UsableRun(extent, volume)) {
        damaged = true;
        break;
      }
      const int64_t n = std::min(unitClusters - taken, extent.length - inRun);
      if (!extent.sparse) {
        ReadClusterBytes(volume, extent.start + inRun, 0, n * clusterBytes, stored.data() + taken * clusterBytes, scratch);
        onVolume += n;
        storedEnd = taken + n;
      }
      taken += n;
      inRun += n;
      if (inRun == extent.length) {
        ++r;
        inRun = 0;
      }
    }
    if (taken == 0) break;
    const uint8_t* unit = stored.data();
    if (onVolume > 0 && onVolume < unitClusters) {
      std::fill(plain.begin(), plain.end(), uint8_t(0));
      Lznt1Decompress(stored.data(), size_t(storedEnd * clusterBytes), plain.data(), plain.size());
      unit = plain.data();
    }
    const int64_t bytes = std::min(unitBytes, size - done);
    if (!sink(unit, size_t(bytes))) return done;
    done += bytes;
    if (damaged) break;
  }
  return done;
}

}  // namespace

bool UsableRun(const FileRun& r, const VolumeContext& volume) {
  if (volume.BytesPerCluster <= 0 || r.length <= 0 || r.length > INT64_MAX / volume.BytesPerCluster) return false;
  if (r.sparse) return true;
  return r.start >= 0 && (volume.ClusterCount <= 0 ||
                          (r.start < volume.ClusterCount && r.length <= volume.ClusterCount - r.start));
}

bool ParseMFTRecord(NtfsState& ntfs, int64_t locator, TMFTFile& file) {
  file.Runs.clear();
  file.Resident = false;
  file.ResidentLength = 0;
  file.ResidentBuf.clear();
  file.FSize = 0;
  file.HasData = false;
  file.CompressionUnitClusters = 0;
  file.FModifiedTime = 0;
  file.FCreatedTime = 0;
  const int64_t recordSize = ntfs.MFTRecordSize;
  if (recordSize <= 0 || locator < 0 || locator > ntfs.MFTByteSize - recordSize) return false;
  uint8_t* r = ntfs.MFTBuffer.data() + locator;
  // A found file's record is one no longer in use; a live record (the MFT's
  // own first record, at offset 0 of a quick scan's buffer) never is one.
  if (r[kRecordFlags] & kRecordInUse) return false;
  if (!ApplyFixup(r, size_t(recordSize))) return false;
  RecordAttributes attrs;
  if (!WalkAttributes(r, size_t(recordSize), attrs)) return false;
  size_t infoOffset = 0, infoLength = 0;
  if (attrs.standardInformation &&
      ResidentContent(r, size_t(recordSize), attrs.standardInformation, infoOffset, infoLength) &&
      infoLength >= kStdInfoModificationTime + 8) {
    file.FCreatedTime = ReadLE64(r + infoOffset + kStdInfoCreationTime);
    file.FModifiedTime = ReadLE64(r + infoOffset + kStdInfoModificationTime);
  }
  // The data's pieces: the one attribute of the record, or, with an attribute
  // list, every piece of the unnamed data in the records the list names.
  std::vector<AttributeAt> pieces;
  if (attrs.attributeList) {
    if (!DataPiecesThroughList(ntfs, locator, pieces)) return false;
  } else if (attrs.data) {
    pieces.push_back({locator, attrs.data});
  }
  if (pieces.empty()) return true;
  const uint8_t* first = ntfs.MFTBuffer.data() + pieces.front().record;
  const size_t data = pieces.front().attribute;
  if (first[data + kAttrNonResident] == 0) {
    size_t offset = 0, length = 0;
    if (!ResidentContent(first, size_t(recordSize), data, offset, length)) return false;
    file.HasData = true;
    file.Resident = true;
    file.ResidentLength = int32_t(length);
    file.FSize = int64_t(length);
    file.ResidentBuf = QByteArray(reinterpret_cast<const char*>(first + offset), qsizetype(length));
    return true;
  }
  // Size and compression are kept in the first piece only.
  if (!InBounds(size_t(recordSize), data, kNonResidentHeaderBytes)) return false;
  file.HasData = true;
  file.FSize = int64_t(ReadLE64(first + data + kAttrDataSize) & 0x7FFFFFFFFFFFFFFFULL);
  const int unitShift = first[data + kAttrCompressionUnit];
  if ((ReadLE16(first + data + kAttrFlags) & kAttrFlagCompressed) && unitShift > 0 &&
      unitShift <= kMaxCompressionUnitShift)
    file.CompressionUnitClusters = 1 << unitShift;
  // Each piece's run list counts its offsets afresh and covers the clusters
  // from its lowest VCN on; a listed piece that does not start where the runs
  // so far end (a gap, an overlap) ends the runs there.
  uint64_t clusters = 0;
  for (const AttributeAt& piece : pieces) {
    const uint8_t* rec = ntfs.MFTBuffer.data() + piece.record;
    const size_t a = piece.attribute;
    if (rec[a + kAttrNonResident] == 0 || !InBounds(size_t(recordSize), a, kNonResidentHeaderBytes) ||
        (attrs.attributeList && ReadLE64(rec + a + kAttrLowestVcn) != clusters))
      break;
    const size_t attributeEnd = a + ReadLE32(rec + a + kAttrLength);
    DecodeRunList(rec, attributeEnd, a + ReadLE16(rec + a + kAttrRunListOffset), [&](const DataRun& run) {
      if (run.lengthBytes > 0 && (run.sparse || run.offsetBytes > 0)) {
        file.Runs.push_back({run.start, run.length, run.sparse});
        clusters += uint64_t(run.length);
      }
    });
  }
  return true;
}

int64_t ReadNtfsContent(const VolumeContext& volume, const TMFTFile& file, int64_t size, RunControl* run,
                        const ContentSink& sink) {
  if (volume.BytesPerSector <= 0 || volume.BytesPerCluster <= 0 || size <= 0) return 0;
  if (file.CompressionUnitClusters > 0) return ReadCompressedContent(volume, file, size, run, sink);
  return ReadPlainContent(volume, file, size, run, sink);
}

RestoreOutcome RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& entryValue,
                               const RestoreTarget& target, RunControl& run) {
  if (!run.Busy() || volume.BytesPerSector <= 0 || volume.BytesPerCluster <= 0) return {};
  const EntryValue e = ParseEntryValue(entryValue);
  TMFTFile file;
  // The locator is a byte offset into the loaded records: 0 is a record too
  // (a deep scan's first zone begins with a found file); a text that is no
  // number locates nothing.
  if (!e.HasNumericLocator() || !ParseMFTRecord(ntfs, e.locator, file) || !file.HasData) return {};

  RestoredFile out;
  if (!out.Create(target)) return out.Finish();
  int64_t done = 0;
  if (file.Resident) {
    if (!out.Write(file.ResidentBuf.constData(), size_t(file.ResidentBuf.size()))) return out.Finish();
    done = file.ResidentBuf.size();
  } else {
    bool writing = true;
    done = ReadNtfsContent(volume, file, file.FSize, &run, [&](const uint8_t* bytes, size_t n) {
      writing = out.Write(bytes, n);
      return writing;
    });
    if (!writing) return out.Finish();
    // A Stop in the middle leaves a piece of the file, which is no restored file.
    if (!run.Busy() && done < file.FSize) return out.FinishStopped();
  }
  // Only a whole file takes the volume's modification time.
  if (done == file.FSize && file.FModifiedTime != 0) out.SetModificationTime(file.FModifiedTime);
  return out.Finish();
}

}  // namespace undelvo
