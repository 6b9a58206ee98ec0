#include "ntfs/RestoreFileNTFS.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <vector>

#include "found/EntryValue.h"
#include "found/SaveFile.h"
#include "ntfs/MftRecord.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr int64_t kPieceBytes = 16 << 20;  // long runs are read and written in pieces of this size



}  // namespace

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
  if (r[attrs.data + 8] == 0) {
    size_t offset = 0, length = 0;
    if (!ResidentContent(r, size_t(recordSize), attrs.data, offset, length)) return false;
    file.Resident = true;
    file.ResidentLength = int32_t(length);
    file.FSize = int64_t(length);
    file.ResidentBuf = QByteArray(reinterpret_cast<const char*>(r + offset), qsizetype(length));
    return true;
  }
  const size_t attributeEnd = attrs.data + ReadLE32(r + attrs.data + 4);
  if (!InBounds(size_t(recordSize), attrs.data, 64)) return false;
  file.FSize = int64_t(ReadLE64(r + attrs.data + 48) & 0x7FFFFFFFFFFFFFFFULL);
  DecodeRunList(r, attributeEnd, attrs.data + ReadLE16(r + attrs.data + 32), [&](const DataRun& run) {
    if (run.offsetBytes > 0 && run.lengthBytes > 0) file.Runs.push_back({run.start, run.length});
  });
  return true;
}

bool RestoreFileNTFS(const VolumeContext& volume, NtfsState& ntfs, const QString& name, const QString& entryValue,
                     const QString& saveFolder, const uint8_t& busy, ScanHooks& hooks, QString* written,
                     const QString& fallbackName, int* error) {
  if (error) *error = 0;
  if (!busy) return false;
  const EntryValue e = ParseEntryValue(entryValue);
  TMFTFile file;
  if (e.locator == 0 || !ParseMFTRecord(ntfs, e.locator, file) || file.FSize == 0) return false;

  QString path;
  const int fd = CreateRestoredFile(saveFolder, name, fallbackName, path);
  if (fd < 0) return FailWith(error);
  if (written) *written = path;
  bool ok = true;
  if (file.Resident) {
    ok = WriteFully(fd, reinterpret_cast<const uint8_t*>(file.ResidentBuf.constData()), size_t(file.ResidentBuf.size()));
  } else {
    // Unreadable clusters are written as zeros so the rest keeps its place.
    int64_t done = 0;
    std::vector<uint8_t> piece;
    for (const DataRunExtent& run : file.Runs) {
      hooks.Pump();
      if (!busy || done >= file.FSize) break;
      if (run.start < 0 || run.length <= 0 || run.length > INT64_MAX / volume.BytesPerCluster) break;
      const int64_t runBytes = run.length * volume.BytesPerCluster;
      for (int64_t at = 0; at < runBytes && done < file.FSize && ok; at += kPieceBytes) {
        const int64_t bytes = std::min({kPieceBytes, runBytes - at, file.FSize - done});
        const int64_t readBytes = (bytes + volume.BytesPerSector - 1) / volume.BytesPerSector * volume.BytesPerSector;
        piece.resize(size_t(readBytes));
        ReadSectors(volume, ClusterToSector(volume, uint64_t(run.start)) + uint64_t(at / volume.BytesPerSector),
                    piece.data(), readBytes);
        ok = WriteFully(fd, piece.data(), size_t(bytes));
        done += bytes;
      }
      if (!ok) break;
    }
  }
  if (!ok) return CloseAndFail(fd, error);
  return ::close(fd) == 0 || FailWith(error);
}

}  // namespace undelvo
