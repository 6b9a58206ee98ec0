#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>

#include "volume/LittleEndian.h"
#include "volume/NtfsLayout.h"

namespace undelvo {

// Calls visit(type, offset) for each attribute of a record in turn, up to the
// end marker or until visit returns false. False when the walk meets a
// damaged attribute: one whose common header or whole length does not lie
// inside the record, or whose length is shorter than that header (every step
// moves on, so the walk ends). An attribute's header is read only once it is
// known to lie inside the record; past the type, that is the whole common
// header, so visit may read it.
template <typename Visit>
bool ForEachAttribute(const uint8_t* record, size_t recordSize, Visit visit) {
  if (!InBounds(recordSize, kRecordFirstAttribute, 2)) return false;
  for (size_t a = ReadLE16(record + kRecordFirstAttribute);;) {
    if (!InBounds(recordSize, a, 4)) return false;
    const uint32_t type = ReadLE32(record + a + kAttrType);
    if (type == kAttrEndMarker) return true;
    if (!InBounds(recordSize, a, kAttrMinHeaderBytes)) return false;
    const size_t length = ReadLE32(record + a + kAttrLength);
    if (length < kAttrMinHeaderBytes || !InBounds(recordSize, a, length)) return false;
    if (!visit(type, a)) return true;
    a += length;
  }
}

// Offsets (within a record) of the attributes a scan looks at, found by a
// walk that never leaves the record; 0 where the record has none.
struct RecordAttributes {
  size_t standardInformation = 0;
  size_t attributeList = 0;  // then the name and data may lie in extension records
  size_t fileName = 0;
  size_t data = 0;
  size_t indexRoot = 0;
  size_t indexAllocation = 0;
  bool IsDirectory() const { return indexRoot || indexAllocation; }
};

// Walks a record's attributes (ForEachAttribute) up to the first one past the
// index allocation. False for a damaged record. Of several file names the one
// that is not the DOS short name is kept.
bool WalkAttributes(const uint8_t* record, size_t recordSize, RecordAttributes& out);

// The content of a resident attribute, bounds-checked: its offset within the
// record and its length; false when it does not fit the attribute.
bool ResidentContent(const uint8_t* record, size_t recordSize, size_t attribute, size_t& offset, size_t& length);

// A reference to an MFT record: its number and the sequence number the
// record had when the reference was written. The record's own sequence number
// changes when it is freed, so a reference outlives the file it named.
struct FileReference {
  uint64_t record = 0;
  uint16_t sequence = 0;
  bool operator==(const FileReference&) const = default;
};

// The name and parent reference of a file name attribute; false when damaged.
bool ReadFileName(const uint8_t* record, size_t recordSize, size_t attribute, QString& name, FileReference& parent);

// Whether a reference with sequence number `referenceSequence` still names
// the record whose header holds `recordSequence` and whose in-use flag is
// `recordInUse`: the same number, or, for a record no longer in use, the
// number its freeing gave it (one more, 0 skipped). A reused record, in use
// again or freed once more, holds another file. A reference of sequence 0
// names no particular use and is taken as it is.
bool ReferenceNamesRecord(uint16_t referenceSequence, uint16_t recordSequence, bool recordInUse);

// The sequence number and in-use flag of a record's header, as
// ReferenceNamesRecord takes them; false when the record is too short.
bool RecordSequence(const uint8_t* record, size_t recordSize, uint16_t& sequence, bool& inUse);

// The size of a file's data: the content length when resident, the data
// size field otherwise (0 when it does not fit the record).
int64_t DataSize(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs);

// The creation time: from the standard information, else from the file name.
uint64_t CreationTime(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs);

// What the scans list of a deleted file's record.
struct DeletedFileRecord {
  QString name;
  FileReference parent;  // the parent folder's reference
  int64_t size = 0;      // DataSize
  uint64_t created = 0;  // CreationTime
  // Set when the record is a deleted file's base record with an attribute
  // list: its offset. The record is then read through the list
  // (ReadDeletedFileThroughList in ntfs/AttributeList.h), not here.
  size_t attributeList = 0;
};

// The record filter both NTFS scans share: a file record ("FILE") that is no
// longer in use, whose fix-up applies (in place) and whose attributes walk
// cleanly, a base record (an extension record holds only part of a file), not
// a folder, with a file name and data. False for any other, and for a record
// with an attribute list (out.attributeList set).
// Everything the scans need is copied out, so nothing points into the
// record once the scan lets events run.
bool ReadDeletedFileRecord(uint8_t* record, size_t recordSize, DeletedFileRecord& out);

}  // namespace undelvo
