#include "ntfs/FoundRecordTime.h"

#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"

namespace undelvo {

uint64_t FoundRecordCreationTime(NtfsState& ntfs, int64_t locator) {
  const int64_t recordSize = ntfs.MFTRecordSize;
  if (recordSize <= 0 || locator < 0 || locator > ntfs.MFTByteSize - recordSize ||
      uint64_t(locator + recordSize) > ntfs.MFTBuffer.size())
    return 0;
  uint8_t* record = ntfs.MFTBuffer.data() + locator;
  if (!ApplyFixup(record, size_t(recordSize))) return 0;
  RecordAttributes attrs;
  if (!WalkAttributes(record, size_t(recordSize), attrs)) return 0;
  return CreationTime(record, size_t(recordSize), attrs);
}

}  // namespace undelvo
