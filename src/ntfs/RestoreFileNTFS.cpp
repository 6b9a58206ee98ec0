#include "ntfs/RestoreFileNTFS.h"

#include <algorithm>
#include <vector>

#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "ntfs/MftRecord.h"
#include "volume/EngineLimits.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

bool ParseMFTRecord(NtfsState& ntfs, int64_t locator, TMFTFile& file) {
  file.Runs.clear();
  file.Resident = false;
  file.ResidentLength = 0;
  file.ResidentBuf.clear();
  file.FSize = 0;
  const int64_t recordSize = ntfs.MFTRecordSize;
  if (recordSize <= 0 || locator < 0 || locator > ntfs.MFTByteSize - recordSize) return false;
  uint8_t* r = ntfs.MFTBuffer.data() + locator;
  if (!ApplyFixup(r, size_t(recordSize))) return false;
  RecordAttributes attrs;
  if (!WalkAttributes(r, size_t(recordSize), attrs)) return false;
  if (attrs.data == 0) return true;
  if (r[attrs.data + kAttrNonResident] == 0) {
    size_t offset = 0, length = 0;
    if (!ResidentContent(r, size_t(recordSize), attrs.data, offset, length)) return false;
    file.Resident = true;
    file.ResidentLength = int32_t(length);
    file.FSize = int64_t(length);
    file.ResidentBuf = QByteArray(reinterpret_cast<const char*>(r + offset), qsizetype(length));
    return true;
  }
  const size_t attributeEnd = attrs.data + ReadLE32(r + attrs.data + kAttrLength);
  if (!InBounds(size_t(recordSize), attrs.data, kNonResidentHeaderBytes)) return false;
  file.FSize = int64_t(ReadLE64(r + attrs.data + kAttrDataSize) & 0x7FFFFFFFFFFFFFFFULL);
  DecodeRunList(r, attributeEnd, attrs.data + ReadLE16(r + attrs.data + kAttrRunListOffset), [&](const DataRun& run) {
    if (run.offsetBytes > 0 && run.lengthBytes > 0) file.Runs.push_back({run.start, run.length});
  });
  return true;
}

RestoreOutcome RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& entryValue,
                               const RestoreTarget& target, RunControl& run) {
  if (!run.Busy() || volume.BytesPerSector <= 0 || volume.BytesPerCluster <= 0) return {};
  const EntryValue e = ParseEntryValue(entryValue);
  TMFTFile file;
  if (e.locator == 0 || !ParseMFTRecord(ntfs, e.locator, file) || file.FSize == 0) return {};

  RestoredFile out;
  if (!out.Create(target)) return out.Finish();
  if (file.Resident) {
    out.Write(file.ResidentBuf.constData(), size_t(file.ResidentBuf.size()));
    return out.Finish();
  }
  int64_t done = 0;
  std::vector<uint8_t> piece;
  for (const ClusterExtent& extent : file.Runs) {
    if (!run.Continue() || done >= file.FSize) break;
    if (extent.start < 0 || extent.length <= 0 || extent.length > INT64_MAX / volume.BytesPerCluster) break;
    const int64_t runBytes = extent.length * volume.BytesPerCluster;
    for (int64_t at = 0; at < runBytes && done < file.FSize; at += kRestorePieceBytes) {
      const int64_t bytes = std::min({kRestorePieceBytes, runBytes - at, file.FSize - done});
      const int64_t readBytes = (bytes + volume.BytesPerSector - 1) / volume.BytesPerSector * volume.BytesPerSector;
      piece.resize(size_t(readBytes));
      ReadSectors(volume, ClusterToSector(volume, uint64_t(extent.start)) + uint64_t(at / volume.BytesPerSector),
                  piece.data(), readBytes);  // zeros when unreadable
      if (!out.Write(piece.data(), size_t(bytes))) return out.Finish();
      done += bytes;
    }
  }
  return out.Finish();
}

}  // namespace undelvo
