#pragma once
#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "volume/ClusterExtent.h"

namespace undelvo {

// One decoded data run: its absolute start cluster, its length in clusters,
// and the byte counts of its offset (F) and length (L) fields. A run without
// an offset field is sparse: a hole of `length` clusters that has no place on
// the volume (its `start` is the previous run's and means nothing).
struct DataRun {
  int64_t start = 0;
  int64_t length = 0;
  int offsetBytes = 0;
  int lengthBytes = 0;
  bool sparse = false;
};

// One run of a file's data, in file order: `length` clusters from `start` on
// the volume, or a hole of `length` clusters that reads as zeros.
struct FileRun {
  int64_t start = 0;
  int64_t length = 0;
  bool sparse = false;
};

// A found file's record as the restore reads it. ParseMFTRecord fills the
// size, the content (resident bytes or data runs, with the compression unit
// of a compressed stream) and the modification time; the record, parent,
// name, path and date fields are left as they are (the scans copy what they
// list into a DeletedFileRecord instead).
struct TMFTFile {
  uint64_t MFTRec = 0;
  uint64_t ParentMFTRec = 0;
  QString FName;
  QString FPath;
  int64_t FSize = 0;
  QDateTime FDateTime;
  bool Resident = false;
  int32_t ResidentLength = 0;
  QByteArray ResidentBuf;
  bool HasData = false;          // the record has a data attribute (an empty file has one of size 0)
  int CompressionUnitClusters = 0;  // a compressed stream's unit in clusters; 0 when not compressed
  uint64_t FModifiedTime = 0;    // standard information's modification time (100 ns since 1601, UTC); 0 when absent
  uint64_t FCreatedTime = 0;     // standard information's creation time, the same way
  std::vector<FileRun> Runs;     // the data runs, holes included, in file order
};

// Decodes the run list that starts at `offset` of a buffer of `size` bytes and
// hands every run to `sink`, in order, a run without an offset field as a
// sparse one (the runs after a hole take their offsets from the run before
// it). Decoding ends at the closing zero byte, at a run whose length or
// offset field is longer than 8 bytes, where a run would reach past the
// buffer, or after a run without a length field.
void DecodeRunList(const uint8_t* buffer, size_t size, size_t offset,
                   const std::function<void(const DataRun&)>& sink);

// Applies a record's update-sequence fix-up in place: the last two bytes of
// every 512-byte stride get back the bytes kept in the update sequence array.
// False when the array or a stride lies outside the record.
bool ApplyFixup(uint8_t* record, size_t recordSize);

// Bytes of an MFT record, from its update sequence count (one entry per
// 512-byte stride, plus the sequence number itself); 0 when unusable.
int32_t RecordSizeFromUpdateSequence(const uint8_t* record, size_t available);

}  // namespace undelvo
