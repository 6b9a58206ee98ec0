#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>

namespace undelvo {

// Offsets (within a record) of the attributes a scan looks at, found by a
// walk that never leaves the record; 0 where the record has none.
struct RecordAttributes {
  size_t standardInformation = 0;
  size_t fileName = 0;
  size_t data = 0;
  size_t indexRoot = 0;
  size_t indexAllocation = 0;
  bool IsDirectory() const { return indexRoot || indexAllocation; }
};

// Walks a record's attributes up to the first one past the index
// allocation. False for a damaged record: an attribute of length 0 or one
// reaching outside the record. Of several file names the one that is not
// the DOS short name is kept.
bool WalkAttributes(const uint8_t* record, size_t recordSize, RecordAttributes& out);

// The content of a resident attribute, bounds-checked: its offset within the
// record and its length; false when it does not fit the attribute.
bool ResidentContent(const uint8_t* record, size_t recordSize, size_t attribute, size_t& offset, size_t& length);

// The name and parent record of a file name attribute; false when damaged.
bool ReadFileName(const uint8_t* record, size_t recordSize, size_t attribute, QString& name, uint64_t& parent);

// The size of a file's data: the content length when resident, the data
// size field otherwise (0 when it does not fit the record).
int64_t DataSize(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs);

// The creation time: from the standard information, else from the file name.
uint64_t CreationTime(const uint8_t* record, size_t recordSize, const RecordAttributes& attrs);

// What the scans list of a deleted file's record.
struct DeletedFileRecord {
  QString name;
  uint64_t parent = 0;   // the parent folder's reference
  int64_t size = 0;      // DataSize
  uint64_t created = 0;  // CreationTime
};

// The record filter both NTFS scans share: a file record ("FILE") that is no
// longer in use, whose fix-up applies (in place) and whose attributes walk
// cleanly, not a folder, with a file name and data. False for any other.
// Everything the scans need is copied out, so nothing points into the
// record once the scan lets events run.
bool ReadDeletedFileRecord(uint8_t* record, size_t recordSize, DeletedFileRecord& out);

}  // namespace undelvo
