// Restores of deleted FAT files that were written around a live file, on
// volumes made by mkfs.fat and mtools: the file fills the hole a deleted
// file left and goes on after the live file that follows the hole. The
// restore passes over the live file's clusters, the preview reads the same
// bytes, and the written file keeps the entry's write time.
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "fat/PreviewFAT.h"
#include "fat/RestoreFileFAT.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/QuickScanRun.h"
#include "volume/FatGeometry.h"

using namespace undelvo;

namespace {

QByteArray Pattern(int64_t size, uint32_t seed) {
  QByteArray bytes(qsizetype(size), '\0');
  for (char& c : bytes) c = char((seed = seed * 1103515245 + 12345) >> 16);
  return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadAt(const QString& path, qint64 at, qint64 size) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return f.read(size);
}

// A file written to the volume before DATA.BIN; `keep` false deletes it
// again before DATA.BIN is written, which leaves a hole.
struct Before {
  int64_t size;
  bool keep;
};

struct Case {
  const char* what;
  const char* format;  // mkfs.fat options
  int kib;             // the volume's size
  const char* fs;      // the system's name for it
  std::vector<Before> before;
  int64_t size;      // of DATA.BIN
  const char* when;  // its modification time, local, even seconds (FAT keeps 2-second steps)
};

class FatExactRestore : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink hooks_;
  test::BegunRun run_;
};

}  // namespace

TEST_F(FatExactRestore, AFileWrittenAroundALiveFileComesBackWholeWithItsTime) {
  const std::vector<Case> cases = {
      {"FAT16, a 3-cluster hole", "-F 16 -s 4 -S 512", 16384, "FAT", {{5000, true}, {6000, false}, {3000, true}},
       15000, "2023-03-04 05:06:08"},
      {"FAT16, a 1-cluster hole", "-F 16 -s 4 -S 512", 16384, "FAT", {{2048, true}, {100, false}, {4096, true}},
       9000, "2021-12-31 23:59:58"},
      {"FAT16, whole clusters only", "-F 16 -s 4 -S 512", 16384, "FAT", {{1, true}, {4096, false}, {1, true}},
       6144, "2019-07-01 00:00:00"},
      {"FAT16, two holes", "-F 16 -s 4 -S 512", 16384, "FAT",
       {{3000, true}, {2048, false}, {5000, true}, {4000, false}, {2048, true}}, 20000, "2020-02-29 12:34:56"},
      {"FAT12", "-F 12 -s 1 -S 512", 2048, "FAT", {{5000, true}, {1500, false}, {700, true}, {900, false}, {1, true}},
       12345, "2022-08-15 08:15:42"},
      {"FAT32, a 12-cluster hole", "-F 32 -s 1 -S 512", 40000, "FAT32",
       {{5000, true}, {6000, false}, {3000, true}}, 15000, "2024-01-02 03:04:06"},
      {"FAT32, a 2-cluster hole", "-F 32 -s 1 -S 512", 40000, "FAT32", {{700, false}, {512, true}}, 100000,
       "2018-10-10 10:10:10"},
      {"FAT32, 20 MiB after a 1 MiB hole", "-F 32 -s 2 -S 512", 100000, "FAT32",
       {{10000, true}, {1 << 20, false}, {5000, true}}, 20 << 20, "2017-05-05 17:05:04"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString folder = dir_.filePath(QString::number(++n));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString image = folder + "/volume.img";
    QString script = QString("export MTOOLS_SKIP_CHECK=1; mkfs.fat %1 -C '%2' %3 >/dev/null")
                         .arg(c.format, image)
                         .arg(c.kib);
    for (size_t i = 0; i < c.before.size(); ++i) {
      const QString source = folder + QString("/F%1.BIN").arg(i);
      ASSERT_TRUE(WriteFile(source, Pattern(c.before[i].size, uint32_t(100 + i))));
      script += QString(" && mcopy -i '%1' '%2' ::/").arg(image, source);
    }
    for (size_t i = 0; i < c.before.size(); ++i)
      if (!c.before[i].keep) script += QString(" && mdel -i '%1' ::/F%2.BIN").arg(image).arg(i);
    // mtools takes the next free cluster from the FAT32 information sector;
    // marking it unknown makes it search from the start, into the hole.
    if (QString(c.fs) == "FAT32")
      script += QString(" && printf '\\377\\377\\377\\377' | dd of='%1' bs=1 seek=1004 conv=notrunc status=none")
                    .arg(image);
    const QByteArray data = Pattern(c.size, uint32_t(n));
    const QString source = folder + "/DATA.BIN";
    ASSERT_TRUE(WriteFile(source, data));
    script += QString(" && touch -d '%1' '%2' && mcopy -m -i '%3' '%2' ::/ && mdel -i '%3' ::/DATA.BIN")
                  .arg(c.when, source, image);
    ASSERT_TRUE(test::Shell(script));

    state_.Program.Drives.drives = {test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", c.fs, image)};
    ASSERT_EQ(QuickScanRun(state_, hooks_, "C:").end, ScanRunEnd::FilesFound);
    QString value;
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      if (test::SameFoundName(row.name, "DATA.BIN")) value = row.value;
    ASSERT_FALSE(value.isEmpty());
    const EntryValue e = ParseEntryValue(value);
    ASSERT_EQ(e.size, c.size);
    const QByteArray want = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();

    // The case is one the consecutive sectors from the first cluster get wrong.
    const qint64 firstByte = FatClusterToSector(state_.Scan.Volume, state_.Scan.Fat, e.locator) * 512;
    EXPECT_NE(ReadAt(image, firstByte, c.size), data);

    const RestoreOutcome out =
        RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, value, {folder + "/saved", "DATA.BIN"}, run_);
    ASSERT_TRUE(out.Written());
    EXPECT_EQ(out.bytes, c.size);
    EXPECT_EQ(test::FileSha256(out.path), want);
    EXPECT_EQ(QFileInfo(out.path).lastModified(), QDateTime::fromString(c.when, "yyyy-MM-dd HH:mm:ss"));

    const QByteArray preview =
        PreviewFAT(state_.Scan.Volume, state_.Scan.Fat, e.locator, e.size, true, int64_t(1) << 30, run_);
    EXPECT_EQ(QCryptographicHash::hash(preview, QCryptographicHash::Sha256).toHex(), want);

    // The Sleuth Kit's icat, which also passes over allocated clusters when
    // it reads a deleted file, gives the same bytes.
    const auto fls = test::Run("fls", {"-d", image});
    const QRegularExpressionMatch m = QRegularExpression(R"(\* (\d+):\s+\S?ATA\.BIN)").match(QString(fls.out));
    ASSERT_TRUE(m.hasMatch()) << fls.out.toStdString();
    const auto icat = test::Run("icat", {image, m.captured(1)});
    EXPECT_EQ(QCryptographicHash::hash(icat.out, QCryptographicHash::Sha256).toHex(), want);
  }
}

// The clusters the restore lists: the first cluster even when the table now
// gives it to a live file, then only free ones, and never past the volume's
// last cluster (the rest of the size is then written as zeros).
TEST_F(FatExactRestore, TheContiguousWalkStartsAtTheFirstClusterAndEndsWithTheVolume) {
  const QString image = dir_.filePath("walk.img");
  ASSERT_TRUE(test::Shell(QString("mkfs.fat -F 16 -s 4 -S 512 -C '%1' 16384 >/dev/null").arg(image)));
  test::TestVolume v(test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", "FAT", "walk"));
  v.ctx.FsKind = FsFat16;
  FatState fat;
  ASSERT_TRUE(ReadGeometryFAT(v.ctx, fat) && LoadFatTable(v.ctx, fat));
  const int64_t cb = v.ctx.BytesPerCluster;
  auto set = [&](int64_t cluster, uint16_t entry) {
    fat.FatTable[size_t(cluster) * 2] = uint8_t(entry);
    fat.FatTable[size_t(cluster) * 2 + 1] = uint8_t(entry >> 8);
  };
  set(10, 0xFFFF);  // a live file's one cluster
  set(12, 11);      // cluster 11 is free, 12 links on
  set(13, 0xFFF7);  // bad
  set(20, 0xFFFF);  // the file's own first cluster, given to a live file since

  const int64_t last = std::min(v.ctx.ClusterCount + 1, fat.FatBytes / 2 - 1);
  for (int64_t c = last - 2; c <= last; ++c) set(c, 0);
  set(last - 1, 0xFFFF);

  const struct {
    int64_t first, size;
    std::vector<std::pair<int64_t, int64_t>> runs;  // first cluster, count
    int64_t bytes;
    int64_t inUse;  // of the listed clusters, those a live file holds
  } cases[] = {
      {9, 4 * cb, {{9, 1}, {11, 1}, {14, 2}}, 4 * cb, 0},
      {9, 1, {{9, 1}}, 1, 0},
      {20, 2 * cb + 1, {{20, 3}}, 2 * cb + 1, 1},
      // A live file holds the first cluster: it wrote over this file from
      // its start, and the clusters are taken as they follow.
      {10, 4 * cb, {{10, 4}}, 4 * cb, 3},
      {last - 2, 4 * cb, {{last - 2, 1}, {last, 1}}, 2 * cb, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    const RestoreClusterList list = RestoreClusters(v.ctx, fat, c.first, c.size, run_);
    EXPECT_FALSE(list.chain);
    std::vector<std::pair<int64_t, int64_t>> runs;
    for (const ClusterExtent& r : list.runs) runs.push_back({r.start, r.length});
    EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(list.bytes, c.bytes);
    EXPECT_EQ(list.inUse, c.inUse);
  }
  // A chain in the table that fits the size is still taken as it stands.
  set(30, 32);
  set(32, 0xFFFF);
  const RestoreClusterList chain = RestoreClusters(v.ctx, fat, 30, 2 * cb, run_);
  EXPECT_TRUE(chain.chain);
  ASSERT_EQ(chain.runs.size(), 2u);
  EXPECT_EQ(chain.runs[1].start, 32);

  // The size claims more than the volume holds past the file's first cluster:
  // the file is cut to the clusters the walk found, no zeros are made up.
  v.ctx.Drives = &v.table;
  const RestoreOutcome out = RestoreFileFAT(v.ctx, fat, QString("%1#C:\\#2024/05/06#%2").arg(last - 2).arg(4 * cb),
                                            {dir_.filePath("end"), "END.BIN"}, run_);
  ASSERT_TRUE(out.Written());
  QFile f(out.path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_EQ(bytes.size(), 2 * cb);
}
