#include "ntfs/MftRecord.h"

#include <cstring>

#include "ntfs/Unit0NTFS.h"
#include "volume/LittleEndian.h"

namespace undelvo {

namespace {
constexpr int kDosNamespace = 2;
}

bool ResidentContent(const uint8_t* record, size_t recordSize, size_t attribute, size_t& offset, size_t& length) {
  if (!InBounds(recordSize, attribute, 24) || record[attribute + 8] != 0) return false;
  const size_t attributeLength = ReadLE32(record + attribute + 4);
  length = ReadLE32(record + attribute + 16);
  const size_t at = ReadLE16(record + attribute + 20);
  if (!InBounds(attributeLength, at, length) || !InBounds(recordSize, attribute, attributeLength)) return false;
  offset = attribute + at;
  return true;
}

bool ReadFileName(const uint8_t* record, size_t recordSize, size_t attribute, QString& name, uint64_t& parent) {
  size_t content = 0, length = 0;
  if (!ResidentContent(record, recordSize, attribute, content, length) || length < 66) return false;
  const size_t chars = record[content + 64];
  if (66 + 2 * chars > length) return false;
  parent = ReadLE(record + content, 6);
  name.resize(qsizetype(chars));
  for (size_t i = 0; i < chars; ++i) name[qsizetype(i)] = QChar(ReadLE16(record + content + 66 + 2 * i));
  return true;
}

bool WalkAttributes(const uint8_t* record, size_t recordSize, RecordAttributes& out) {
  out = {};
  if (recordSize < 24) return false;
  size_t a = ReadLE16(record + 20);
  for (;;) {
    if (!InBounds(recordSize, a, 8)) return false;
    const uint8_t type = record[a];
    if (ReadLE32(record + a) == 0xFFFFFFFF) return true;
    const size_t length = ReadLE32(record + a + 4);
    if (length == 0 || !InBounds(recordSize, a, length)) return false;
    switch (type) {
      case 0x10: out.standardInformation = a; break;
      case 0x30: {
        // Keep the long name over the DOS short name, whichever comes first.
        size_t content = 0, contentLength = 0;
        const bool dos = ResidentContent(record, recordSize, a, content, contentLength) && contentLength > 65 &&
                         record[content + 65] == kDosNamespace;
        if (!dos || out.fileName == 0) out.fileName = a;
        break;
      }
      case 0x80:  // the unnamed stream is the file's content; named streams come after it
        if (record[a + 9] == 0 || out.data == 0) out.data = a;
        break;
      case 0x90: out.indexRoot = a; break;
      case 0xA0: out.indexAllocation = a; break;
      default: break;
    }
    if (type > 0xA0) return true;
    a += length;
  }
}

int64_t DataSize(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs) {
  if (!attrs.data) return 0;
  if (record[attrs.data + 8] == 0) {
    size_t offset = 0, length = 0;
    return ResidentContent(record, recordSize, attrs.data, offset, length) ? int64_t(length) : 0;
  }
  if (!InBounds(recordSize, attrs.data, 56)) return 0;
  return int64_t(ReadLE64(record + attrs.data + 48) & 0x7FFFFFFFFFFFFFFFULL);
}

uint64_t CreationTime(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs) {
  size_t offset = 0, length = 0;
  if (attrs.standardInformation &&
      ResidentContent(record, recordSize, attrs.standardInformation, offset, length) && length >= 8)
    return ReadLE64(record + offset);
  if (attrs.fileName && ResidentContent(record, recordSize, attrs.fileName, offset, length) && length >= 16)
    return ReadLE64(record + offset + 8);
  return 0;
}

bool ReadDeletedFileRecord(uint8_t* record, size_t recordSize, DeletedFileRecord& out) {
  if (recordSize < 24 || std::memcmp(record, "FILE", 4) != 0 || (record[22] & 1)) return false;
  // Attribute headers may cross a stride's end: repair the record first.
  if (!ApplyFixup(record, recordSize)) return false;
  RecordAttributes attrs;
  if (!WalkAttributes(record, recordSize, attrs) || attrs.IsDirectory() || !attrs.fileName || !attrs.data)
    return false;
  if (!ReadFileName(record, recordSize, attrs.fileName, out.name, out.parent)) return false;
  out.size = DataSize(record, recordSize, attrs);
  out.created = CreationTime(record, recordSize, attrs);
  return true;
}

}  // namespace undelvo
