#pragma once
#include <cstddef>
#include <cstdint>

// Where NTFS keeps the fields the engines read: byte offsets within the boot
// sector, within an MFT record, within an attribute and within the content of
// the attributes looked at, and the few fixed values that go with them.
// Numbers are little-endian on disk.

namespace undelvo {

// Boot sector.
inline constexpr size_t kNtfsBootOemName = 3;  // 8 bytes, "NTFS    "
inline constexpr size_t kNtfsBootOemNameBytes = 8;
inline constexpr char kNtfsOemMarker[] = "NTFS";
inline constexpr size_t kNtfsBootBytesPerSector = 11;    // 2 bytes
inline constexpr size_t kNtfsBootSectorsPerCluster = 13;  // 1 byte; from 0xF4 on a negative power of two
inline constexpr size_t kNtfsBootTotalSectors = 40;       // 8 bytes
inline constexpr size_t kNtfsBootMftCluster = 48;         // 8 bytes: the MFT's first cluster
inline constexpr size_t kNtfsBootRecordSize = 64;  // 1 signed byte: clusters per MFT record, or 2^-value bytes when negative

// MFT record header.
inline constexpr char kFileRecordSignature[] = "FILE";
inline constexpr size_t kFileRecordSignatureBytes = 4;
inline constexpr size_t kRecordUpdateSequenceOffset = 4;  // 2 bytes: where the update sequence array lies
inline constexpr size_t kRecordUpdateSequenceCount = 6;   // 2 bytes: entries, the sequence number included
inline constexpr size_t kRecordSequenceNumber = 16;       // 2 bytes: how often the record was reused, as references name it
inline constexpr size_t kRecordFirstAttribute = 20;       // 2 bytes: offset of the first attribute
inline constexpr size_t kRecordFlags = 22;                // 2 bytes
inline constexpr size_t kRecordBaseReference = 32;        // 8 bytes: the base record's reference; 0 in a base record
inline constexpr uint8_t kRecordInUse = 0x01;             // flag bit: the record describes a live file
inline constexpr size_t kRecordNumber = 44;               // 4 bytes: the record's own number
// The update sequence covers the record in strides of this many bytes, the
// last two bytes of each kept in the array, whatever the sector size.
inline constexpr size_t kFixupStride = 512;

// The root folder's record; records 0 to 5 are the system's own.
inline constexpr uint32_t kRootFolderRecord = 5;

// Attribute header, common part.
inline constexpr size_t kAttrType = 0;          // 4 bytes
inline constexpr size_t kAttrLength = 4;        // 4 bytes: the whole attribute's
inline constexpr size_t kAttrNonResident = 8;   // 1 byte: 0 when the content lies in the record
inline constexpr size_t kAttrNameLength = 9;    // 1 byte: characters of the stream name, 0 for the unnamed stream
inline constexpr size_t kAttrFlags = 12;        // 2 bytes
inline constexpr uint16_t kAttrFlagCompressed = 0x0001;  // the stream is kept in compression units (LZNT1)
inline constexpr uint16_t kAttrFlagSparse = 0x8000;      // the stream may have runs without clusters (holes)
// The common part both headers begin with (type to instance): an attribute
// is never shorter, so a walk reads none of it before it lies in the record.
inline constexpr size_t kAttrMinHeaderBytes = 16;
// Resident attribute.
inline constexpr size_t kAttrContentLength = 16;  // 4 bytes
inline constexpr size_t kAttrContentOffset = 20;  // 2 bytes, from the attribute's start
inline constexpr size_t kResidentHeaderBytes = 24;
// Non-resident attribute.
inline constexpr size_t kAttrLowestVcn = 16;      // 8 bytes: the first cluster of the stream this extent holds
inline constexpr size_t kAttrRunListOffset = 32;  // 2 bytes, from the attribute's start
inline constexpr size_t kAttrCompressionUnit = 34;  // 1 byte: a compression unit is 2^value clusters; 0 when not compressed
inline constexpr size_t kAttrDataSize = 48;       // 8 bytes: the stream's size in bytes
inline constexpr size_t kNonResidentHeaderBytes = 64;

// Attribute type codes, in the order a record keeps them, and the end marker.
inline constexpr uint32_t kAttrStandardInformation = 0x10;
inline constexpr uint32_t kAttrAttributeList = 0x20;  // where a file's attributes lie once its base record is full
inline constexpr uint32_t kAttrFileName = 0x30;
inline constexpr uint32_t kAttrData = 0x80;
inline constexpr uint32_t kAttrIndexRoot = 0x90;
inline constexpr uint32_t kAttrIndexAllocation = 0xA0;
inline constexpr uint32_t kAttrEndMarker = 0xFFFFFFFF;

// Standard information content.
inline constexpr size_t kStdInfoCreationTime = 0;      // 8 bytes, 100 ns since 1601
inline constexpr size_t kStdInfoModificationTime = 8;  // 8 bytes, 100 ns since 1601, UTC

// Attribute list entry: one per attribute (or extent of one) of the file.
inline constexpr size_t kListEntryType = 0;          // 4 bytes
inline constexpr size_t kListEntryLength = 4;        // 2 bytes
inline constexpr size_t kListEntryNameLength = 6;    // 1 byte: characters of the stream name
inline constexpr size_t kListEntryLowestVcn = 8;     // 8 bytes
inline constexpr size_t kListEntryRecord = 16;       // 8 bytes: the reference of the record holding it
inline constexpr size_t kListEntryRecordSequence = 22;  // 2 bytes of it: that record's sequence number
inline constexpr size_t kListEntryMinBytes = 26;     // the fixed part, before the name
// NTFS keeps an attribute list to 256 KiB; a longer one is damaged.
inline constexpr size_t kMaxAttributeListBytes = size_t(256) << 10;

// File name content.
inline constexpr size_t kFileNameParent = 0;  // 8 bytes: the parent folder's reference
inline constexpr int kFileReferenceRecordBytes = 6;  // of a reference, the record number; the rest is a sequence
inline constexpr size_t kFileNameParentSequence = 6;  // 2 bytes: the sequence number the parent's record had
inline constexpr size_t kFileNameCreationTime = 8;  // 8 bytes
inline constexpr size_t kFileNameLength = 64;       // 1 byte: characters of the name
inline constexpr size_t kFileNameNamespace = 65;    // 1 byte
inline constexpr size_t kFileNameChars = 66;        // the name, UTF-16
inline constexpr uint8_t kDosNamespace = 2;         // the 8.3 short name beside a long one

}  // namespace undelvo
