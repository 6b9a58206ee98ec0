#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace undelvo {

// A directory entry's write and creation date and time words as the volume
// holds them (local time, seconds in steps of 2).
struct FatWriteTime {
  uint16_t date = 0;
  uint16_t time = 0;
  uint16_t createdDate = 0;  // the same words of the entry's creation (0 where the volume keeps none)
  uint16_t createdTime = 0;
};

// The FAT engine's layout of the selected volume and its first allocation table.
struct FatState {
  int64_t ReservedSectors = 0;  // sectors before the first FAT; where it starts
  int64_t FatCount = 0;         // copies of the FAT
  int64_t SectorsPerFat = 0;
  int64_t RootDirStart = 0;     // first sector after the FATs: the FAT12/16 root, the FAT32 data area
  int64_t RootDirSectors = 0;   // the fixed root's sectors; one cluster's on FAT32
  int64_t RootCluster = 0;      // FAT32: the root directory's first cluster (0 elsewhere)
  int64_t FatBytes = 0;         // bytes of one FAT copy
  // A volume named FAT16 (the system names FAT12 and FAT16 alike) whose
  // table holds 12-bit entries: fewer than 4085 data clusters, by its boot
  // sector's own counts.
  bool Fat12 = false;
  std::vector<uint8_t> FatTable;  // the first FAT copy, loaded by the scan runs

  // What a scan run has put into DirList so far: the folder paths,
  // case-folded, so a folder is listed once, whatever its letter case.
  QSet<QString> ListedDirs;
  // Every cluster a scan run has read as (part of) a folder, and 0 once it
  // has read FAT16's fixed root: a folder is read along its chain only up to
  // the first cluster read before, and a folder entry that leads into such a
  // cluster (back to the folder itself, an ancestor, or into a chain that
  // other entries lead into too) adds no folder. Cross-linked chains thus
  // cost each cluster one read, however many entries point into them.
  std::unordered_set<int64_t> ListedDirClusters;
  // The quick scan's folders by path, each with the first cluster its
  // parent's folder entry gives it, so a folder is found without reading its
  // parents again: by the path as the entries spell it (the first folder
  // entry of that name wins) and, for the live folders the mounted volume
  // spells in another letter case, by the case-folded path.
  QHash<QString, int64_t> DirClusters;
  QHash<QString, int64_t> FoldedDirClusters;

  // The write times of the deleted entries the scans recorded, by the entry
  // value they were recorded with: the value itself carries only the date
  // text, and a restore gives the written file the volume's time.
  QHash<QString, FatWriteTime> EntryTimes;
};

}  // namespace undelvo
