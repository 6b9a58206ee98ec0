#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "fat/FatState.h"
#include "run/RunControl.h"
#include "volume/FatLayout.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// A byte of a short name as a character: below 0x80 as it is; above, moved
// from the DOS Cyrillic code page to the Windows one (so 0xE5, the deleted
// mark, shows as "õ").
QChar ShortNameChar(uint8_t b);

// Builds the names of directory entries in order: long-name entries are
// gathered and name the short entry that follows them.
class EntryNames {
 public:
  // True for a long-name entry (gathered; it names nothing itself).
  bool Gather(const uint8_t* entry);
  // The name of a short entry: the gathered long name, else the converted
  // 8.3 name ("NAME.EXT"); trimmed. Empties the gathered text.
  QString Take(const uint8_t* entry);

 private:
  QString longName_;
  bool hasLong_ = false;
};

// The first cluster of an entry: the low word alone on FAT16, with the high
// word on FAT32 (and FAT12).
int64_t EntryFirstCluster(const VolumeContext& volume, const uint8_t* entry);

// Reads a directory: the root when `firstCluster` is 0 (FAT16's fixed root
// region, FAT32's root cluster), else the folder from its first cluster,
// along its chain while the table holds one, else the one cluster. Capped at
// the largest directory FAT allows (65,536 entries). Each cluster is read as
// a folder once: the chain ends before the first cluster in `readClusters`
// (empty when the folder's first cluster is there), and the clusters taken
// go into it (0 for the fixed root). Empty when the first read fails; a
// later failed read ends the directory where it failed.
std::vector<uint8_t> ReadDirectory(const VolumeContext& volume, const FatState& fat, int64_t firstCluster,
                                   std::unordered_set<int64_t>& readClusters, RunControl& run);

// Whether a file's date word (years since 1980, month, day) and time word
// (hours, minutes) are plausible: no later than `latestYear`, month up to
// 12, day up to 31, hours up to 24, minutes up to 60.
bool PlausibleDateTime(uint16_t date, uint16_t time, int latestYear);

// "2019/03/07" for a date word.
QString FatDateText(uint16_t date);

// A date word and a time word as the date and time they record (local time,
// no zone); invalid when a word does not form one.
QDate FatDate(uint16_t date);
QTime FatTime(uint16_t time);
QDateTime FatLocalTime(uint16_t date, uint16_t time);

}  // namespace undelvo
