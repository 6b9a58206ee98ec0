#include "ntfs/AttributeList.h"

#include <algorithm>
#include <cstring>

#include "ntfs/Unit0NTFS.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

bool IsFileRecord(const uint8_t* record) {
  return std::memcmp(record, kFileRecordSignature, kFileRecordSignatureBytes) == 0;
}

// The first cluster of the stream a data attribute holds (0 when resident);
// false for a non-resident header cut short.
bool LowestVcn(const uint8_t* record, size_t recordSize, size_t attribute, uint64_t& vcn) {
  vcn = 0;
  if (record[attribute + kAttrNonResident] == 0) return true;
  if (!InBounds(recordSize, attribute, kNonResidentHeaderBytes)) return false;
  vcn = ReadLE64(record + attribute + kAttrLowestVcn);
  return true;
}

bool IsDosName(const uint8_t* record, size_t recordSize, size_t attribute) {
  size_t content = 0, length = 0;
  return ResidentContent(record, recordSize, attribute, content, length) && length > kFileNameNamespace &&
         record[content + kFileNameNamespace] == kDosNamespace;
}

// Reads the content of a non-resident attribute list from the volume, at most
// kMaxAttributeListBytes of it; false when it is longer, has a hole or cannot
// be read.
bool ReadNonResidentList(const VolumeContext& volume, const uint8_t* record, size_t recordSize, size_t attribute,
                         std::vector<uint8_t>& out) {
  const int64_t clusterBytes = volume.BytesPerCluster;
  if (clusterBytes <= 0 || volume.BytesPerSector <= 0 || !InBounds(recordSize, attribute, kNonResidentHeaderBytes))
    return false;
  const size_t attributeEnd = attribute + ReadLE32(record + attribute + kAttrLength);
  const uint64_t size = ReadLE64(record + attribute + kAttrDataSize);
  if (size == 0 || size > kMaxAttributeListBytes || attributeEnd > recordSize) return false;
  const int64_t clusters = (int64_t(size) + clusterBytes - 1) / clusterBytes;
  std::vector<uint8_t> raw(size_t(clusters * clusterBytes), 0);
  int64_t filled = 0;
  bool usable = true;
  DecodeRunList(record, attributeEnd, attribute + ReadLE16(record + attribute + kAttrRunListOffset),
                [&](const DataRun& run) {
                  if (!usable || filled >= clusters || run.length == 0) return;
                  if (run.sparse || run.start < 0 || (volume.ClusterCount > 0 && run.start >= volume.ClusterCount)) {
                    usable = false;
                    return;
                  }
                  const int64_t n = std::min(run.length, clusters - filled);
                  usable = ReadSectors(volume, ClusterToSector(volume, uint64_t(run.start)),
                                       raw.data() + filled * clusterBytes, n * clusterBytes);
                  filled += n;
                });
  if (!usable || filled < clusters) return false;
  raw.resize(size_t(size));
  out = std::move(raw);
  return true;
}

// The list content of the base record at `offset`: resident in the record, or
// kept in ntfs.Records, or (with a volume) read from it and kept there.
bool ListContent(const VolumeContext* volume, NtfsState& ntfs, int64_t offset, size_t attribute, const uint8_t*& list,
                 size_t& size) {
  const size_t recordSize = size_t(ntfs.MFTRecordSize);
  const uint8_t* record = ntfs.MFTBuffer.data() + offset;
  if (record[attribute + kAttrNonResident] == 0) {
    size_t content = 0;
    if (!ResidentContent(record, recordSize, attribute, content, size)) return false;
    list = record + content;
    return true;
  }
  auto& kept = ntfs.Records.attributeLists;
  auto it = kept.find(offset);
  if (it == kept.end()) {
    std::vector<uint8_t> read;
    if (!volume || !ReadNonResidentList(*volume, record, recordSize, attribute, read)) return false;
    it = kept.emplace(offset, std::move(read)).first;
  }
  list = it->second.data();
  size = it->second.size();
  return true;
}

// Where a spread file's name and data lie.
struct FilePieces {
  AttributeAt name{-1, 0};
  bool dosName = false;
  std::vector<AttributeAt> data;  // ordered by lowest VCN, the first at 0
};

// Walks the base record at `offset` and the extension records its list names
// for the file name and the unnamed data attribute's pieces.
bool GatherPieces(const VolumeContext* volume, NtfsState& ntfs, int64_t offset, size_t listAttribute,
                  FilePieces& pieces) {
  const size_t recordSize = size_t(ntfs.MFTRecordSize);
  const uint8_t* list = nullptr;
  size_t listSize = 0;
  if (!ListContent(volume, ntfs, offset, listAttribute, list, listSize)) return false;
  const uint32_t baseNumber = ReadLE32(ntfs.MFTBuffer.data() + offset + kRecordNumber);
  uint16_t baseSequence = 0;
  bool baseInUse = false;
  RecordSequence(ntfs.MFTBuffer.data() + offset, recordSize, baseSequence, baseInUse);

  // The records named for a name or a piece of the unnamed data, each once;
  // the base record is always among them.
  std::vector<FileReference> named{{baseNumber, baseSequence}};
  for (const AttributeListEntry& e : ParseAttributeList(list, listSize))
    if ((e.type == kAttrFileName || (e.type == kAttrData && e.nameLength == 0)) && e.record.record != baseNumber)
      named.push_back(e.record);
  std::sort(named.begin() + 1, named.end(), [](const FileReference& a, const FileReference& b) {
    return a.record != b.record ? a.record < b.record : a.sequence < b.sequence;
  });
  named.erase(std::unique(named.begin() + 1, named.end()), named.end());

  struct Piece {
    AttributeAt at;
    uint64_t vcn;
  };
  std::vector<Piece> data;
  for (size_t i = 0; i < named.size(); ++i) {
    int64_t at = offset;
    if (i > 0) {
      if (named[i].record > UINT32_MAX) continue;
      at = LocateRecord(ntfs, uint32_t(named[i].record));
      if (at < 0) continue;
    }
    uint8_t* r = ntfs.MFTBuffer.data() + at;
    if (i > 0) {
      // An extension record of this file: in use as the base record is (a
      // deleted file's extension in use again belongs to another file), naming
      // this base record, and in the use the list names.
      uint16_t sequence = 0;
      bool inUse = false;
      if (!ApplyFixup(r, recordSize) || !RecordSequence(r, recordSize, sequence, inUse) || inUse != baseInUse ||
          !ReferenceNamesRecord(named[i].sequence, sequence, inUse))
        continue;
      const uint64_t base = ReadLE64(r + kRecordBaseReference);
      if ((base & 0xFFFFFFFFFFFFULL) != baseNumber || !ReferenceNamesRecord(uint16_t(base >> 48), baseSequence, baseInUse))
        continue;
    }
    ForEachAttribute(r, recordSize, [&](uint32_t type, size_t a) {
      if (type == kAttrFileName) {
        const bool dos = IsDosName(r, recordSize, a);
        if (pieces.name.record < 0 || (pieces.dosName && !dos)) {
          pieces.name = {at, a};
          pieces.dosName = dos;
        }
      } else if (uint64_t vcn = 0; type == kAttrData && r[a + kAttrNameLength] == 0 && LowestVcn(r, recordSize, a, vcn)) {
        data.push_back({{at, a}, vcn});
      }
      return true;
    });
  }
  // One piece per start, the first met kept.
  std::stable_sort(data.begin(), data.end(), [](const Piece& a, const Piece& b) { return a.vcn < b.vcn; });
  for (size_t i = 0; i < data.size(); ++i)
    if (i == 0 || data[i].vcn != data[i - 1].vcn) pieces.data.push_back(data[i].at);
  return !data.empty() && data.front().vcn == 0;
}

}  // namespace

std::vector<AttributeListEntry> ParseAttributeList(const uint8_t* list, size_t size) {
  std::vector<AttributeListEntry> entries;
  for (size_t at = 0; InBounds(size, at, kListEntryMinBytes);) {
    const size_t length = ReadLE16(list + at + kListEntryLength);
    if (length < kListEntryMinBytes || !InBounds(size, at, length)) break;
    AttributeListEntry e;
    e.type = ReadLE32(list + at + kListEntryType);
    e.nameLength = list[at + kListEntryNameLength];
    e.lowestVcn = ReadLE64(list + at + kListEntryLowestVcn);
    e.record.record = ReadLE(list + at + kListEntryRecord, kFileReferenceRecordBytes);
    e.record.sequence = ReadLE16(list + at + kListEntryRecordSequence);
    entries.push_back(e);
    at += length;
  }
  return entries;
}

int64_t LocateRecord(NtfsState& ntfs, uint32_t number) {
  const int64_t recordSize = ntfs.MFTRecordSize;
  if (recordSize <= int64_t(kRecordNumber + 4)) return -1;
  const uint8_t* buffer = ntfs.MFTBuffer.data();
  const int64_t direct = int64_t(number) * recordSize;
  if (direct <= ntfs.MFTByteSize - recordSize && IsFileRecord(buffer + direct) &&
      ReadLE32(buffer + direct + kRecordNumber) == number)
    return direct;
  RecordIndex& index = ntfs.Records;
  if (!index.built) {
    index.built = true;
    for (int64_t p = 0; p <= ntfs.MFTByteSize - recordSize; p += recordSize)
      if (IsFileRecord(buffer + p)) index.offsets.emplace(ReadLE32(buffer + p + kRecordNumber), p);
  }
  const auto it = index.offsets.find(number);
  return it == index.offsets.end() ? -1 : it->second;
}

bool ReadDeletedFileThroughList(const VolumeContext& volume, NtfsState& ntfs, int64_t offset, DeletedFileRecord& out) {
  const size_t recordSize = size_t(ntfs.MFTRecordSize);
  if (out.attributeList == 0 || offset < 0 || offset > ntfs.MFTByteSize - int64_t(recordSize)) return false;
  FilePieces pieces;
  if (!GatherPieces(&volume, ntfs, offset, out.attributeList, pieces) || pieces.name.record < 0) return false;
  const uint8_t* base = ntfs.MFTBuffer.data() + offset;
  const uint8_t* nameRecord = ntfs.MFTBuffer.data() + pieces.name.record;
  if (!ReadFileName(nameRecord, recordSize, pieces.name.attribute, out.name, out.parent)) return false;
  RecordAttributes first;
  first.data = pieces.data.front().attribute;
  out.size = DataSize(ntfs.MFTBuffer.data() + pieces.data.front().record, recordSize, first);
  RecordAttributes baseAttrs;
  WalkAttributes(base, recordSize, baseAttrs);
  RecordAttributes named;
  named.fileName = pieces.name.attribute;
  out.created = baseAttrs.standardInformation ? CreationTime(base, recordSize, baseAttrs)
                                              : CreationTime(nameRecord, recordSize, named);
  return true;
}

bool DataPiecesThroughList(NtfsState& ntfs, int64_t offset, std::vector<AttributeAt>& pieces) {
  pieces.clear();
  const size_t recordSize = size_t(ntfs.MFTRecordSize);
  if (recordSize == 0 || offset < 0 || offset > ntfs.MFTByteSize - int64_t(recordSize)) return false;
  RecordAttributes attrs;
  if (!WalkAttributes(ntfs.MFTBuffer.data() + offset, recordSize, attrs) || !attrs.attributeList) return false;
  FilePieces found;
  if (!GatherPieces(nullptr, ntfs, offset, attrs.attributeList, found)) return false;
  pieces = std::move(found.data);
  return true;
}

}  // namespace undelvo
