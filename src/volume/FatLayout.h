#pragma once
#include <cstddef>
#include <cstdint>

// Where FAT keeps the fields the engines read: byte offsets within the boot
// sector and within a 32-byte directory entry, and the fixed values that go
// with them. Numbers are little-endian on disk.

namespace undelvo {

// Boot sector.
inline constexpr size_t kFatBootBytesPerSector = 11;    // 2 bytes
inline constexpr size_t kFatBootSectorsPerCluster = 13;  // 1 byte
inline constexpr size_t kFatBootReservedSectors = 14;   // 2 bytes: sectors before the first FAT
inline constexpr size_t kFatBootFatCount = 16;          // 1 byte
inline constexpr size_t kFatBootRootEntries = 17;       // 2 bytes: entries of the FAT12/16 fixed root
inline constexpr size_t kFatBootTotalSectors16 = 19;    // 2 bytes, 0 when the 32-bit field holds the count
inline constexpr size_t kFatBootSectorsPerFat16 = 22;   // 2 bytes, FAT12/16
inline constexpr size_t kFatBootTotalSectors32 = 32;    // 4 bytes
inline constexpr size_t kFatBootSectorsPerFat32 = 36;   // 4 bytes, FAT32
inline constexpr size_t kFatBootRootCluster = 44;       // 4 bytes, FAT32: the root directory's first cluster
// The type fields: 8 bytes at 54 on FAT12/16 ("FAT12   ", "FAT16   "), at 82 on FAT32 ("FAT32   ").
inline constexpr size_t kFatBootFat16Type = 54;
inline constexpr size_t kFatBootFat32Type = 82;
inline constexpr size_t kFatBootTypeBytes = 8;
inline constexpr char kFatTypeMarker[] = "FAT";
inline constexpr char kFat32TypeMarker[] = "FAT32";

// Directory entry.
inline constexpr int kDirEntryBytes = 32;
inline constexpr size_t kDirEntryName = 0;  // 8 bytes, space-padded; the first byte also marks the entry
inline constexpr size_t kDirEntryNameBytes = 8;
inline constexpr size_t kDirEntryExtension = 8;  // 3 bytes, space-padded
inline constexpr size_t kDirEntryExtensionBytes = 3;
inline constexpr size_t kDirEntryAttribute = 11;     // 1 byte
inline constexpr size_t kDirEntryCreatedTime = 14;   // 2 bytes: as the write time, when the entry was made
inline constexpr size_t kDirEntryCreatedDate = 16;   // 2 bytes: as the write date
inline constexpr size_t kDirEntryClusterHigh = 20;   // 2 bytes: the first cluster's high word (FAT32)
inline constexpr size_t kDirEntryTime = 22;          // 2 bytes: hours, minutes, seconds / 2
inline constexpr size_t kDirEntryDate = 24;          // 2 bytes: years since 1980, month, day
inline constexpr size_t kDirEntryClusterLow = 26;    // 2 bytes: the first cluster's low word
inline constexpr size_t kDirEntrySize = 28;          // 4 bytes: the file's size in bytes

// First name byte: no entry follows this one; the entry was deleted.
inline constexpr uint8_t kEndOfDirectory = 0x00;
inline constexpr uint8_t kDeletedMark = 0xE5;

// Attribute byte: a long-name entry (all four low bits set) and the folder bit.
inline constexpr uint8_t kLongNameAttribute = 0x0F;
inline constexpr uint8_t kDirectoryBit = 0x10;

// A long-name entry holds 13 UTF-16 units of the name at these offsets.
inline constexpr int kLongNameUnits[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};

}  // namespace undelvo
