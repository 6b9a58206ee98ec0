#include "ntfs/MftExtents.h"

#include <vector>

#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

// The offset of the record's first data attribute, or 0 when there is none
// or an attribute before it is damaged.
size_t FindDataAttribute(const uint8_t* record, size_t size) {
  size_t data = 0;
  ForEachAttribute(record, size, [&](uint32_t type, size_t a) {
    if (type == kAttrData) data = a;
    return type < kAttrData;  // attributes are sorted: past its place there is no data attribute
  });
  return data;
}

}  // namespace

bool ReadMFTExtents(const VolumeContext& volume, NtfsState& ntfs) {
  ntfs.MFTExtents.clear();
  ntfs.MFTRecordSize = volume.BytesPerSector;
  if (volume.BytesPerSector <= 0 || volume.SectorPerCluster <= 0 || ntfs.MFTStart <= 0) return false;
  const uint64_t sector = ClusterToSector(volume, uint64_t(ntfs.MFTStart));

  std::vector<uint8_t> record(size_t(volume.BytesPerSector));
  if (!ReadSectors(volume, sector, record.data(), int64_t(record.size())) || record[0] != 'F' || record[1] != 'I')
    return false;
  // The fix-up stride is 512 bytes on every sector size.
  const int32_t recordSize = RecordSizeFromUpdateSequence(record.data(), record.size());
  if (recordSize == 0) return false;
  ntfs.MFTRecordSize = recordSize;
  // Read whole sectors: a 1024-byte record on 4096-byte sectors shares its sector.
  const int64_t readSize = (recordSize + volume.BytesPerSector - 1) / volume.BytesPerSector * volume.BytesPerSector;
  record.assign(size_t(readSize), 0);
  if (!ReadSectors(volume, sector, record.data(), readSize)) return false;
  if (!ApplyFixup(record.data(), size_t(recordSize))) return false;

  const size_t data = FindDataAttribute(record.data(), size_t(recordSize));
  if (data == 0 || !InBounds(size_t(recordSize), data, kAttrRunListOffset + 2)) return false;
  if (record[data + kAttrNonResident] == 0) return true;  // a resident MFT has no runs to list
  const size_t runList = data + ReadLE16(&record[data + kAttrRunListOffset]);
  const size_t attributeEnd = data + ReadLE32(&record[data + kAttrLength]);  // inside the record: the walk saw to it
  // The MFT is never sparse: a hole in its run list ends the extents.
  bool hole = false;
  DecodeRunList(record.data(), attributeEnd, runList, [&](const DataRun& run) {
    hole = hole || run.sparse;
    if (!hole && run.offsetBytes + run.lengthBytes > 0 && run.length > 0)
      ntfs.MFTExtents.push_back({run.start, run.length});
  });
  return true;
}

}  // namespace undelvo
