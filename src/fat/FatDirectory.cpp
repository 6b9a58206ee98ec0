#include "fat/FatDirectory.h"

#include <algorithm>

#include "fat/Unit0FAT.h"
#include "volume/FatGeometry.h"
#include "volume/LittleEndian.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr int64_t kMaxDirectoryBytes = int64_t(65536) * kDirEntryBytes;

QString Trimmed(const QString& s) {
  qsizetype begin = 0, end = s.size();
  while (begin < end && s[begin].unicode() <= 32) ++begin;
  while (end > begin && s[end - 1].unicode() <= 32) --end;
  return s.mid(begin, end - begin);
}

bool ReadInto(const VolumeContext& volume, int64_t sector, int64_t bytes, std::vector<uint8_t>& out) {
  if (sector < 0 || bytes <= 0) return false;
  const size_t at = out.size();
  out.resize(at + size_t(bytes));
  return ReadSectors(volume, uint64_t(sector), out.data() + at, bytes);
}

// The value from which a table entry marks the end of a chain.
uint32_t EndOfChain(const VolumeContext& volume, const FatState& fat) {
  if (volume.FsKind == FsFat32) return 0x0FFFFFF8;
  return fat.Fat12 ? 0x0FF8 : 0xFFF8;
}

// Takes a folder's clusters from `first` along the table into `read`, as
// FollowChain walks them (to a free entry, an end mark, an entry outside the
// table or the volume, a cluster met twice), but only up to the first
// cluster read before and at most `limit` of them; `first` alone when the
// table holds no chain from it, none when it was read already. Walking no
// further than the clusters to read keeps many entries that lead into one
// long chain cheap.
std::vector<int64_t> TakeChain(const VolumeContext& volume, const FatState& fat, int64_t first, size_t limit,
                               std::unordered_set<int64_t>& read, RunControl& run) {
  std::vector<int64_t> chain;
  if (!read.insert(first).second) return chain;
  chain.push_back(first);
  const int64_t entries = FatEntryCount(volume, fat);
  if (first < 0 || first >= entries || first > volume.ClusterCount) return chain;
  const uint32_t endOfChain = EndOfChain(volume, fat);
  const int64_t lastCluster = volume.ClusterCount + 1;
  for (int64_t c = first; chain.size() < limit;) {
    run.Pump();
    const uint32_t next = FatEntry(volume, fat, c);
    if (next == 0 || next >= endOfChain || next < 2 || int64_t(next) > lastCluster || int64_t(next) >= entries) break;
    if (!read.insert(next).second) break;  // read before, or met twice: the table loops
    chain.push_back(next);
    c = next;
  }
  return chain;
}

}  // namespace

QChar ShortNameChar(uint8_t b) {
  if (b < 0x80) return QChar(b);
  uint8_t c = b;
  if (b <= 0xAF) c = uint8_t(b + 0x40);
  else if (b <= 0xDF) c = b == 0xC4 ? 0x97 : b;
  else if (b <= 0xEF) c = uint8_t(b + 0x10);
  else if (b == 0xF0) c = 0xA8;
  else if (b == 0xF1) c = 0xB8;
  else if (b == 0xFF) c = 0xA9;
  return QChar(c);
}

bool EntryNames::Gather(const uint8_t* entry) {
  if (entry[kDirEntryAttribute] != kLongNameAttribute) return false;
  QString part;
  for (int offset : kLongNameUnits) {
    const uint16_t u = ReadLE16(entry + offset);
    if (u != 0x0000 && u != 0xFFFF) part.append(QChar(u));
  }
  longName_.prepend(part);
  hasLong_ = true;
  return true;
}

QString EntryNames::Take(const uint8_t* entry) {
  QString name;
  const bool hadLong = hasLong_;
  if (hadLong) {
    name = Trimmed(longName_);
  } else {
    QString base;
    for (size_t i = 0; i < kDirEntryNameBytes; ++i) base.append(ShortNameChar(entry[kDirEntryName + i]));
    name = Trimmed(base);
  }
  longName_.clear();
  hasLong_ = false;
  if (hadLong || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return name;
  QString extension;
  for (size_t i = 0; i < kDirEntryExtensionBytes; ++i) extension.append(QChar(entry[kDirEntryExtension + i]));
  extension = Trimmed(extension);
  return extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
}

int64_t EntryFirstCluster(const VolumeContext& volume, const uint8_t* entry) {
  const int64_t low = ReadLE16(entry + kDirEntryClusterLow);
  if (volume.FsKind == FsFat16) return low;
  return int64_t(ReadLE16(entry + kDirEntryClusterHigh)) * 65536 + low;
}

std::vector<uint8_t> ReadDirectory(const VolumeContext& volume, const FatState& fat, int64_t firstCluster,
                                   std::unordered_set<int64_t>& readClusters, RunControl& run) {
  std::vector<uint8_t> dir;
  if (firstCluster == 0 && volume.FsKind != FsFat32) {
    if (!readClusters.insert(0).second) return dir;
    if (!ReadInto(volume, fat.RootDirStart, std::min(fat.RootDirSectors * volume.BytesPerSector, kMaxDirectoryBytes),
                  dir))
      dir.clear();
    return dir;
  }
  int64_t start = firstCluster;
  if (start == 0) start = fat.RootCluster >= 2 && fat.RootCluster <= volume.ClusterCount + 1 ? fat.RootCluster : 2;
  const int64_t clusterBytes = volume.BytesPerCluster;
  const size_t limit = size_t(std::max<int64_t>(1, kMaxDirectoryBytes / std::max<int64_t>(1, clusterBytes)));
  const std::vector<int64_t> chain = TakeChain(volume, fat, start, limit, readClusters, run);
  // Consecutive clusters (the usual case) are read in one go.
  for (size_t i = 0; i < chain.size();) {
    size_t consecutive = 1;
    while (i + consecutive < chain.size() && chain[i + consecutive] == chain[i] + int64_t(consecutive)) ++consecutive;
    const size_t before = dir.size();
    if (!ReadInto(volume, FatClusterToSector(volume, fat, chain[i]), int64_t(consecutive) * clusterBytes, dir)) {
      dir.resize(before);  // what was read before the failure is the directory
      break;
    }
    i += consecutive;
  }
  return dir;
}

bool PlausibleDateTime(uint16_t date, uint16_t time, int latestYear) {
  const int years = date >> 9, month = (date >> 5) & 15, day = date & 31;
  const int hours = time >> 11, minutes = (time >> 5) & 63;
  return 1980 + years <= latestYear && month <= 12 && day <= 31 && hours <= 24 && minutes <= 60;
}

QString FatDateText(uint16_t date) {
  return QStringLiteral("%1/%2/%3")
      .arg(1980 + (date >> 9), 4, 10, QLatin1Char('0'))
      .arg((date >> 5) & 15, 2, 10, QLatin1Char('0'))
      .arg(date & 31, 2, 10, QLatin1Char('0'));
}

QDate FatDate(uint16_t date) { return QDate(1980 + (date >> 9), (date >> 5) & 15, date & 31); }

QTime FatTime(uint16_t time) { return QTime((time >> 11) & 31, (time >> 5) & 63, (time & 31) * 2); }

QDateTime FatLocalTime(uint16_t date, uint16_t time) {
  const QDate day = FatDate(date);
  const QTime at = FatTime(time);
  if (!day.isValid() || !at.isValid()) return {};
  return QDateTime(day, at);
}

}  // namespace undelvo
