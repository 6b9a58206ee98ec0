#include "ntfs/MftRecord.h"

#include <cstring>

#include "ntfs/Unit0NTFS.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsLayout.h"

namespace undelvo {

bool ResidentContent(const uint8_t* record, size_t recordSize, size_t attribute, size_t& offset, size_t& length) {
  if (!InBounds(recordSize, attribute, kResidentHeaderBytes) || record[attribute + kAttrNonResident] != 0)
    return false;
  const size_t attributeLength = ReadLE32(record + attribute + kAttrLength);
  length = ReadLE32(record + attribute + kAttrContentLength);
  const size_t at = ReadLE16(record + attribute + kAttrContentOffset);
  if (!InBounds(attributeLength, at, length) || !InBounds(recordSize, attribute, attributeLength)) return false;
  offset = attribute + at;
  return true;
}

bool ReadFileName(const uint8_t* record, size_t recordSize, size_t attribute, QString& name, FileReference& parent) {
  size_t content = 0, length = 0;
  if (!ResidentContent(record, recordSize, attribute, content, length) || length < kFileNameChars) return false;
  const size_t chars = record[content + kFileNameLength];
  if (kFileNameChars + 2 * chars > length) return false;
  parent.record = ReadLE(record + content + kFileNameParent, kFileReferenceRecordBytes);
  parent.sequence = ReadLE16(record + content + kFileNameParentSequence);
  name.resize(qsizetype(chars));
  for (size_t i = 0; i < chars; ++i) name[qsizetype(i)] = QChar(ReadLE16(record + content + kFileNameChars + 2 * i));
  return true;
}

bool ReferenceNamesRecord(uint16_t referenceSequence, uint16_t recordSequence, bool recordInUse) {
  if (referenceSequence == 0 || recordSequence == referenceSequence) return true;
  const uint16_t freed = referenceSequence == 0xFFFF ? 1 : uint16_t(referenceSequence + 1);
  return !recordInUse && recordSequence == freed;
}

bool RecordSequence(const uint8_t* record, size_t recordSize, uint16_t& sequence, bool& inUse) {
  if (recordSize < kRecordFlags + 2) return false;
  sequence = ReadLE16(record + kRecordSequenceNumber);
  inUse = (record[kRecordFlags] & kRecordInUse) != 0;
  return true;
}

bool WalkAttributes(const uint8_t* record, size_t recordSize, RecordAttributes& out) {
  out = {};
  if (recordSize < kRecordFlags + 2) return false;
  return ForEachAttribute(record, recordSize, [&](uint32_t type, size_t a) {
    switch (type) {
      case kAttrStandardInformation: out.standardInformation = a; break;
      case kAttrAttributeList: out.attributeList = a; break;
      case kAttrFileName: {
        // Keep the long name over the DOS short name, whichever comes first.
        size_t content = 0, contentLength = 0;
        const bool dos = ResidentContent(record, recordSize, a, content, contentLength) &&
                         contentLength > kFileNameNamespace && record[content + kFileNameNamespace] == kDosNamespace;
        if (!dos || out.fileName == 0) out.fileName = a;
        break;
      }
      case kAttrData:  // the unnamed stream is the file's content; named streams come after it
        if (record[a + kAttrNameLength] == 0 || out.data == 0) out.data = a;
        break;
      case kAttrIndexRoot: out.indexRoot = a; break;
      case kAttrIndexAllocation: out.indexAllocation = a; break;
      default: break;
    }
    return type <= kAttrIndexAllocation;
  });
}

int64_t DataSize(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs) {
  if (!attrs.data) return 0;
  if (record[attrs.data + kAttrNonResident] == 0) {
    size_t offset = 0, length = 0;
    return ResidentContent(record, recordSize, attrs.data, offset, length) ? int64_t(length) : 0;
  }
  if (!InBounds(recordSize, attrs.data, kAttrDataSize + 8)) return 0;
  return int64_t(ReadLE64(record + attrs.data + kAttrDataSize) & 0x7FFFFFFFFFFFFFFFULL);
}

uint64_t CreationTime(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs) {
  size_t offset = 0, length = 0;
  if (attrs.standardInformation && ResidentContent(record, recordSize, attrs.standardInformation, offset, length) &&
      length >= kStdInfoCreationTime + 8)
    return ReadLE64(record + offset + kStdInfoCreationTime);
  if (attrs.fileName && ResidentContent(record, recordSize, attrs.fileName, offset, length) &&
      length >= kFileNameCreationTime + 8)
    return ReadLE64(record + offset + kFileNameCreationTime);
  return 0;
}

bool ReadDeletedFileRecord(uint8_t* record, size_t recordSize, DeletedFileRecord& out) {
  if (recordSize < kRecordFlags + 2 || std::memcmp(record, kFileRecordSignature, kFileRecordSignatureBytes) != 0 ||
      (record[kRecordFlags] & kRecordInUse))
    return false;
  // Attribute headers may cross a stride's end: repair the record first.
  if (!ApplyFixup(record, recordSize) || !InBounds(recordSize, kRecordBaseReference, 8) ||
      ReadLE64(record + kRecordBaseReference) != 0)
    return false;
  RecordAttributes attrs;
  if (!WalkAttributes(record, recordSize, attrs) || attrs.IsDirectory()) return false;
  out.attributeList = attrs.attributeList;
  if (attrs.attributeList || !attrs.fileName || !attrs.data) return false;
  if (!ReadFileName(record, recordSize, attrs.fileName, out.name, out.parent)) return false;
  out.size = DataSize(record, recordSize, attrs);
  out.created = CreationTime(record, recordSize, attrs);
  return true;
}

}  // namespace undelvo
