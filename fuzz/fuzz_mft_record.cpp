// MFT records as the NTFS scans and the restore read them, from a buffer laid
// out as the MFT loader leaves it (the records, then spare zero bytes): the
// fix-up, the attribute walk and the readers of names, sizes and times, the
// deleted-file filter with the way through an attribute list, the restore's
// record parser and the reading of the content it describes, and the cluster
// bitmap from record 6. The volume behind them is an image whose second
// cluster begins with the same records.
#include <algorithm>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "ntfs/AttributeList.h"
#include "ntfs/FoundRecordTime.h"
#include "ntfs/MftRecord.h"
#include "ntfs/NtfsBitmap.h"
#include "ntfs/RestoreFileNTFS.h"
#include "ntfs/Unit0NTFS.h"
#include "volume/EngineLimits.h"

using namespace undelvo;

namespace {

constexpr int64_t kClusterBytes = 4096;
constexpr uint64_t kImageBytes = 1 << 20;
constexpr int kMaxRecords = 64;
constexpr int64_t kMaxContentBytes = 4 << 20;

// The readers one record offers on its own, on a copy.
void ReadRecordAlone(const uint8_t* bytes, size_t recordSize) {
  std::vector<uint8_t> record(bytes, bytes + recordSize);
  RecordSizeFromUpdateSequence(record.data(), record.size());
  ApplyFixup(record.data(), record.size());
  RecordAttributes attrs;
  if (!WalkAttributes(record.data(), record.size(), attrs)) return;
  for (size_t a : {attrs.standardInformation, attrs.attributeList, attrs.fileName, attrs.data, attrs.indexRoot,
                   attrs.indexAllocation}) {
    size_t offset = 0, length = 0;
    if (a == 0 || !ResidentContent(record.data(), record.size(), a, offset, length)) continue;
    if (offset + length > record.size()) fuzz::Fail("resident content reaches past the record");
    if (a == attrs.attributeList) ParseAttributeList(record.data() + offset, length);
  }
  QString name;
  FileReference parent;
  if (attrs.fileName) ReadFileName(record.data(), record.size(), attrs.fileName, name, parent);
  uint16_t sequence = 0;
  bool inUse = false;
  if (RecordSequence(record.data(), record.size(), sequence, inUse))
    ReferenceNamesRecord(parent.sequence, sequence, inUse);
  DataSize(record.data(), record.size(), attrs);
  CreationTime(record.data(), record.size(), attrs);
}

// What the restore does with a found record: parse it, then read its content.
void RestoreRecord(const VolumeContext& volume, NtfsState& ntfs, int64_t locator) {
  TMFTFile file;
  if (!ParseMFTRecord(ntfs, locator, file) || !file.HasData || file.Resident) return;
  int64_t handed = 0;
  const int64_t want = std::min(file.FSize, kMaxContentBytes);
  const int64_t got = ReadNtfsContent(volume, file, want, nullptr, [&](const uint8_t* bytes, size_t size) {
    if (size > 0) handed += int64_t(bytes[0] == bytes[size - 1]);  // touch both ends of each piece
    return true;
  });
  if (got > want) fuzz::Fail("more content handed on than asked for");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The volume: cluster 0 empty, the MFT from cluster 1 on.
  std::vector<uint8_t> image(size_t(kClusterBytes) + size);
  std::memcpy(image.data() + kClusterBytes, data, size);
  const std::string path = fuzz::ScratchPath("mft.img");
  if (!fuzz::WriteImage(path, image.data(), image.size(), kImageBytes)) return 0;
  fuzz::ImageVolume v(fuzz::ImageDrive(path, 0, std::max<uint64_t>(kImageBytes, image.size()), "NTFS"));
  VolumeContext& volume = v.ctx;
  volume.FsKind = FsNtfs;
  volume.BytesPerSector = 512;
  volume.SectorPerCluster = 8;
  volume.BytesPerCluster = kClusterBytes;
  volume.SectorCount = int64_t(v.table.drives[0].source.size / 512);
  volume.ClusterCount = volume.SectorCount / 8;

  // The buffer as the loader leaves it: whole clusters, then the spare bytes.
  NtfsState& ntfs = v.ntfs;
  ntfs.MFTStart = 1;
  const int32_t fromRecord = RecordSizeFromUpdateSequence(data, size);
  ntfs.MFTRecordSize = fromRecord > 0 ? fromRecord : 1024;
  ntfs.MFTByteSize = (int64_t(size) + kClusterBytes - 1) / kClusterBytes * kClusterBytes;
  ntfs.MFTBuffer.assign(size_t(ntfs.MFTByteSize) + kMftSpareBytes, 0);
  std::memcpy(ntfs.MFTBuffer.data(), data, size);

  const int64_t recordSize = ntfs.MFTRecordSize;
  int records = 0;
  for (int64_t p = 0; p + recordSize <= ntfs.MFTByteSize && records < kMaxRecords; p += recordSize, ++records) {
    uint8_t* record = ntfs.MFTBuffer.data() + p;
    ReadRecordAlone(record, size_t(recordSize));
    // The scans' filter, in place as they run it, then the way through a list.
    DeletedFileRecord file;
    if (!ReadDeletedFileRecord(record, size_t(recordSize), file) && file.attributeList)
      ReadDeletedFileThroughList(volume, ntfs, p, file);
    uint32_t number = 0;
    std::memcpy(&number, record + 44, 4);
    const int64_t at = LocateRecord(ntfs, number);
    if (at >= 0 && (at % recordSize != 0 || at + recordSize > ntfs.MFTByteSize))
      fuzz::Fail("a located record outside the loaded records");
    std::vector<AttributeAt> pieces;
    DataPiecesThroughList(ntfs, p, pieces);
    FoundRecordCreationTime(ntfs, p);
    RestoreRecord(volume, ntfs, p);
  }

  ClusterBitmap bitmap;
  if (LoadClusterBitmap(volume, ntfs, bitmap)) {
    bitmap.CountNotFree(0, bitmap.clusters);
    bitmap.CountNotFree(bitmap.clusters - 1, 3);
  }
  return 0;
}
