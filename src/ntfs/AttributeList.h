#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ntfs/MftRecord.h"
#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

// A file too large or too fragmented for one MFT record keeps an attribute
// list in its base record and some of its attributes (its name, the pieces of
// its data, each covering a range of clusters) in extension records, which
// name the base record in their header. These functions find those pieces in
// MFTBuffer.

namespace undelvo {

// One entry of an attribute list: which attribute, from which cluster of the
// stream (VCN) its piece starts, and the record that holds it.
struct AttributeListEntry {
  uint32_t type = 0;
  uint8_t nameLength = 0;  // 0 for the unnamed stream
  uint64_t lowestVcn = 0;
  FileReference record;
};

// The entries of `size` bytes of attribute list content, in order. Ends at an
// entry shorter than its fixed part or reaching past the content.
std::vector<AttributeListEntry> ParseAttributeList(const uint8_t* list, size_t size);

// The byte offset in MFTBuffer of the file record numbered `number` (the
// number a record keeps at offset 44), or -1 when the loaded records hold
// none. Looks at number x record size first (the quick scan's buffer), else in
// a number index of the whole buffer, built once per loaded buffer.
int64_t LocateRecord(NtfsState& ntfs, uint32_t number);

// An attribute of a record in MFTBuffer: the record's byte offset and the
// attribute's offset within it.
struct AttributeAt {
  int64_t record = 0;
  size_t attribute = 0;
};

// For the base record at byte `offset` of MFTBuffer, one that
// ReadDeletedFileRecord gave back with its attribute list (out.attributeList):
// the file's name, parent, size (from the piece of data that starts at cluster
// 0) and creation time, from whichever of its records holds them. An
// extension record is taken only when it is in use as the base record is (no
// longer, for a deleted file), names this base record and is in the use the
// list names. A non-resident list is read from the
// volume and kept in ntfs.Records for the restore. False when the name or the
// data's first piece is found nowhere.
bool ReadDeletedFileThroughList(const VolumeContext& volume, NtfsState& ntfs, int64_t offset, DeletedFileRecord& out);

// The pieces of the unnamed data of the file whose base record, with an
// attribute list, lies at byte `offset` of MFTBuffer, ordered by the cluster
// of the stream each starts at (one piece per start; the first starts at 0).
// The list is the record's own or, non-resident, the one the scan kept. False
// when the list cannot be read or no piece starts at cluster 0.
bool DataPiecesThroughList(NtfsState& ntfs, int64_t offset, std::vector<AttributeAt>& pieces);

}  // namespace undelvo
