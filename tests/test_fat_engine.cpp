// The FAT engine's parts on synthetic boot sectors and tables: geometry,
// cluster-to-sector mapping, chain walks, name building and the choice of
// restore method.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "fat/FatDirectory.h"
#include "fat/RestoreFileFAT.h"
#include "fat/Unit0FAT.h"
#include "volume/FatGeometry.h"

using namespace undelvo;
using test::PutLE;

namespace {

struct BootFields {
  int bytesPerSector = 512, sectorsPerCluster, reserved, fats, rootEntries;
  uint32_t fat16Size, totalSectors, fat32Size;
};

QByteArray FatBootSector(const BootFields& f) {
  QByteArray b(512, '\0');
  PutLE(b, 11, uint64_t(f.bytesPerSector), 2);
  PutLE(b, 13, uint64_t(f.sectorsPerCluster), 1);
  PutLE(b, 14, uint64_t(f.reserved), 2);
  PutLE(b, 16, uint64_t(f.fats), 1);
  PutLE(b, 17, uint64_t(f.rootEntries), 2);
  PutLE(b, 22, f.fat16Size, 2);
  PutLE(b, 32, f.totalSectors, 4);
  PutLE(b, 36, f.fat32Size, 4);
  PutLE(b, 44, 2, 4);
  return b;
}

struct FatVolume : test::TestVolume {
  FatVolume(const QString& path, const QString& letter, uint8_t kind)
      : TestVolume(test::ImageDrive(path, 0, 64 << 20, letter, "FAT", path)) {
    ctx.FsKind = kind;
  }
  FatState fat;
};

// A table of 2- or 4-byte entries.
FatState Table(int entryBytes, std::initializer_list<std::pair<int64_t, uint32_t>> entries, int64_t count = 64) {
  FatState fat;
  fat.FatBytes = count * entryBytes;
  fat.FatTable.assign(size_t(fat.FatBytes), 0);
  QByteArray b(int(fat.FatBytes), '\0');
  for (auto [c, v] : entries) PutLE(b, c * entryBytes, v, entryBytes);
  std::copy(b.begin(), b.end(), fat.FatTable.begin());
  return fat;
}

// A 32-byte directory entry.
QByteArray Entry(const char (&name11)[12], uint8_t attributes, uint32_t firstCluster = 0, uint32_t size = 0) {
  QByteArray e(32, '\0');
  e.replace(0, 11, QByteArray(name11, 11));
  e[11] = char(attributes);
  PutLE(e, 20, firstCluster >> 16, 2);
  PutLE(e, 26, firstCluster & 0xFFFF, 2);
  PutLE(e, 28, size, 4);
  return e;
}

// A long-name entry holding 13 UTF-16 units of `part` (padded as FAT pads).
QByteArray LongNameEntry(const QString& part) {
  QByteArray e(32, '\0');
  e[0] = 0x41;
  e[11] = 0x0F;
  static constexpr int kUnits[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
  for (int i = 0; i < 13; ++i) {
    const uint16_t u = i < part.size() ? part[i].unicode() : (i == part.size() ? 0x0000 : 0xFFFF);
    PutLE(e, kUnits[i], u, 2);
  }
  return e;
}

QString NameOf(const QList<QByteArray>& entries) {
  EntryNames names;
  QString name;
  for (const QByteArray& e : entries) {
    const auto* p = reinterpret_cast<const uint8_t*>(e.constData());
    if (!names.Gather(p)) name = names.Take(p);
  }
  return name;
}

}  // namespace

TEST(FatGeometry, BootSectorFieldsGiveTheLayout) {
  QTemporaryDir dir;
  const struct {
    const char* what;
    const char* letter;
    uint8_t kind;
    BootFields fields;
    int64_t bytesPerSector, rootDirStart, rootDirSectors, fatBytes, bytesPerCluster, sectorCount;
    int64_t sectorOf2, sectorOf10;
  } cases[] = {
      {"FAT16", "C:", FsFat16, {512, 4, 4, 2, 512, 256, 100000, 0}, 512, 516, 32, 131072, 2048, 100000, 548, 580},
      {"FAT32", "C:", FsFat32, {512, 8, 32, 2, 0, 0, 4000000, 1000}, 512, 2032, 8, 512000, 4096, 4000000, 2032, 2096},
      // A small FAT16 whose 32-bit total is 0: estimated from the table's size.
      {"FAT16 without a 32-bit total", "C:", FsFat16, {512, 4, 4, 2, 0, 32, 0, 0}, 512, 68, 4, 16384, 2048, 65468,
       72, 104},
      // 4096-byte sectors are told by the boot sector's own field.
      {"FAT32 with 4096-byte sectors", "C:", FsFat32, {4096, 1, 8, 2, 0, 0, 20000, 30}, 4096, 68, 1, 122880, 4096,
       20000, 68, 76},
      // "B:" is an ordinary drive; "A:" gets the floppy layout whatever its boot sector says.
      {"drive B:", "B:", FsFat16, {512, 4, 4, 2, 512, 256, 100000, 0}, 512, 516, 32, 131072, 2048, 100000, 548, 580},
      {"floppy A:", "A:", FsFat16, {512, 4, 4, 2, 512, 256, 100000, 0}, 512, 19, 14, 4608, 512, 2880, 33, 41},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString image = dir.filePath(c.what);
    ASSERT_TRUE(test::MakeSparseFile(image, 64 << 20, 0, FatBootSector(c.fields)));
    FatVolume v(image, c.letter, c.kind);
    ASSERT_TRUE(ReadGeometryFAT(v.ctx, v.fat));
    EXPECT_EQ(v.ctx.BytesPerSector, c.bytesPerSector);
    EXPECT_EQ(v.fat.RootDirStart, c.rootDirStart);
    EXPECT_EQ(v.fat.RootDirSectors, c.rootDirSectors);
    EXPECT_EQ(v.fat.FatBytes, c.fatBytes);
    EXPECT_EQ(v.ctx.BytesPerCluster, c.bytesPerCluster);
    EXPECT_EQ(v.ctx.SectorCount, c.sectorCount);
    EXPECT_EQ(FatClusterToSector(v.ctx, v.fat, 2), c.sectorOf2);
    EXPECT_EQ(FatClusterToSector(v.ctx, v.fat, 10), c.sectorOf10);
  }
  FatVolume floppy(dir.filePath("floppy A:"), "A:", FsFat16);
  ASSERT_TRUE(ReadGeometryFAT(floppy.ctx, floppy.fat));
  EXPECT_EQ(floppy.ctx.FsKind, FsFloppy);

  // A sectors-per-cluster byte of 0, or no readable boot sector: no layout.
  const QString zero = dir.filePath("zero");
  ASSERT_TRUE(test::MakeSparseFile(zero, 1 << 20, 0, FatBootSector({512, 0, 4, 2, 512, 256, 100000, 0})));
  FatVolume bad(zero, "C:", FsFat16);
  EXPECT_FALSE(ReadGeometryFAT(bad.ctx, bad.fat));
  FatVolume missing(dir.filePath("missing"), "C:", FsFat16);
  EXPECT_FALSE(ReadGeometryFAT(missing.ctx, missing.fat));
}

TEST(FatChains, WalksEndAtMarksBoundsAndLoops) {
  VolumeContext volume;
  volume.ClusterCount = 60;
  RunControl run;
  const struct {
    const char* what;
    uint8_t kind;
    FatState fat;
    int64_t first;
    std::vector<int64_t> chain;
  } cases[] = {
      {"FAT16 chain to its end mark", FsFat16, Table(2, {{5, 6}, {6, 0xFFFF}}), 5, {5, 6}},
      {"FAT32 end mark, top bits ignored", FsFat32, Table(4, {{5, 9}, {9, 0xFFFFFFFF}}), 5, {5, 9}},
      {"FAT32 entry with top bits set", FsFat32, Table(4, {{5, 0xF0000007}, {7, 0x0FFFFFF8}}), 5, {5, 7}},
      {"a freed first cluster", FsFat16, Table(2, {}), 5, {5}},
      {"a loop back to an earlier cluster", FsFat16, Table(2, {{5, 6}, {6, 7}, {7, 5}}), 5, {5, 6, 7}},
      {"a cluster pointing at itself", FsFat32, Table(4, {{8, 8}}), 8, {8}},
      {"a next cluster outside the table", FsFat16, Table(2, {{5, 900}}), 5, {5}},
      {"a start outside the table", FsFat16, Table(2, {}), 64, {}},
      {"a start beyond the volume", FsFat16, Table(2, {}, 128), 100, {}},
      {"a negative start", FsFat16, Table(2, {}), -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    volume.FsKind = c.kind;
    std::vector<int64_t> list{99};
    FollowChain(volume, c.fat, c.first, list, run);
    EXPECT_EQ(list, c.chain);
  }
}

TEST(FatChains, ChainMethodOnlyWhenTheChainFitsTheSize) {
  EXPECT_TRUE(ChainFitsSize(2, 2048, 4000));    // |4096 - 4000| = 96
  EXPECT_FALSE(ChainFitsSize(4, 2048, 4000));   // |8192 - 4000| = 4192
  EXPECT_FALSE(ChainFitsSize(1, 2048, 2048));   // one cluster: the data may run on contiguously
  EXPECT_TRUE(ChainFitsSize(3, 2048, 4096));    // one cluster too many is tolerated
  EXPECT_TRUE(ChainFitsSize(2, 512, 1536));     // one cluster short too
}

TEST(FatNames, ShortLongAndDeletedNames) {
  // The DOS Cyrillic code page moved to the Windows one; other bytes kept except two.
  const struct {
    uint8_t byte;
    char16_t expected;
  } chars[] = {{'A', u'A'}, {0x80, 0xC0}, {0xAF, 0xEF}, {0xB0, 0xB0}, {0xC4, 0x97}, {0xE0, 0xF0},
               {0xE5, 0xF5}, {0xEF, 0xFF}, {0xF0, 0xA8}, {0xF1, 0xB8}, {0xF2, 0xF2}, {0xFF, 0xA9}};
  for (const auto& c : chars) EXPECT_EQ(ShortNameChar(c.byte).unicode(), c.expected) << int(c.byte);

  EXPECT_EQ(NameOf({Entry("\xE5" "EPORT  DOC", 0x20)}), QString::fromUtf8("õEPORT.DOC"));
  EXPECT_EQ(NameOf({Entry("OLD     DIR", 0x10)}), "OLD.DIR");
  EXPECT_EQ(NameOf({Entry("NODOT      ", 0x20)}), "NODOT");
  EXPECT_EQ(NameOf({Entry(".          ", 0x10)}), ".");
  // Long names come whole, across entries (the end of the name first), and
  // replace the short name, the deleted mark included.
  const QString wide = QString::fromUtf8("ÿ wide （paren） name.txt");
  EXPECT_EQ(NameOf({LongNameEntry(wide.mid(13)), LongNameEntry(wide.left(13)), Entry("\xE5" "WIDE~1 TXT", 0x20)}),
            wide);
  // Gathered text never carries over to the next short entry.
  EntryNames names;
  const QByteArray lfn = LongNameEntry("first.txt"), a = Entry("FIRST   TXT", 0x20), b = Entry("SECOND  TXT", 0x20);
  names.Gather(reinterpret_cast<const uint8_t*>(lfn.constData()));
  EXPECT_EQ(names.Take(reinterpret_cast<const uint8_t*>(a.constData())), "first.txt");
  EXPECT_EQ(names.Take(reinterpret_cast<const uint8_t*>(b.constData())), "SECOND.TXT");
}

TEST(FatDates, PlausibleUpToThisYear) {
  auto date = [](int year, int month, int day) { return uint16_t(((year - 1980) << 9) | (month << 5) | day); };
  auto time = [](int h, int m) { return uint16_t((h << 11) | (m << 5)); };
  EXPECT_TRUE(PlausibleDateTime(date(2021, 3, 7), time(12, 30), 2026));
  EXPECT_TRUE(PlausibleDateTime(date(2026, 12, 31), time(24, 60), 2026));
  EXPECT_FALSE(PlausibleDateTime(date(2027, 1, 1), time(0, 0), 2026));
  EXPECT_FALSE(PlausibleDateTime(date(2020, 13, 1), time(0, 0), 2026));
  EXPECT_FALSE(PlausibleDateTime(date(2020, 1, 1), time(25, 0), 2026));
  EXPECT_FALSE(PlausibleDateTime(date(2020, 1, 1), time(1, 61), 2026));
  EXPECT_EQ(FatDateText(date(2019, 3, 7)), "2019/03/07");
}
