// The FAT quick scan and restore on a volume made by mkfs.fat whose
// directories and table the test then writes entry by entry (for cases the
// tools cannot make), on the fixtures, and on the damaged reference volumes.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "TestSupport.h"
#include "fat/FATFind1.h"
#include "fat/RestoreFileFAT.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "volume/FatGeometry.h"

using namespace undelvo;
using test::PutLE;

namespace {

// `name11`: the 11 bytes of an 8.3 name, padded with spaces.
QByteArray Entry(const char* name11, uint8_t attributes, uint32_t cluster, uint32_t size,
                 uint16_t date = test::kFatDate2024) {
  return test::FatDirEntry(QByteArray(name11, 11), attributes, cluster, size, date);
}

QByteArray LongNameEntry(const QString& part, bool deleted) {
  QByteArray e(32, '\0');
  e[0] = deleted ? char(0xE5) : char(0x41);
  e[11] = 0x0F;
  static constexpr int kUnits[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
  for (int i = 0; i < 13; ++i)
    PutLE(e, kUnits[i], i < part.size() ? part[i].unicode() : (i == part.size() ? 0 : 0xFFFF), 2);
  return e;
}

// A FAT16 volume formatted by mkfs.fat (2048-byte clusters), written to by
// hand: directory entries, table entries and cluster contents.
class SyntheticFat16 {
 public:
  explicit SyntheticFat16(const QString& path) : path_(path) {
    ok_ = test::Shell(QString("mkfs.fat -F 16 -s 4 -S 512 -C '%1' 16384 >/dev/null").arg(path));
    test::TestVolume v(test::ImageDrive(path, 0, 16 << 20, "C:", "FAT", "synthetic"));
    v.ctx.FsKind = FsFat16;
    ok_ = ok_ && ReadGeometryFAT(v.ctx, fat_);
    ctx_ = v.ctx;
    ctx_.Drives = nullptr;
  }
  bool ok() const { return ok_; }
  void Root(int index, const QByteArray& entry) { Write(fat_.RootDirStart * 512 + index * 32, entry); }
  void InCluster(int64_t cluster, int index, const QByteArray& entry) { Write(Offset(cluster) + index * 32, entry); }
  void Fill(int64_t cluster, char c) { Write(Offset(cluster), QByteArray(2048, c)); }
  void Link(int64_t cluster, uint16_t next) {
    QByteArray v(2, '\0');
    PutLE(v, 0, next, 2);
    Write(fat_.ReservedSectors * 512 + cluster * 2, v);
  }

 private:
  qint64 Offset(int64_t cluster) const { return FatClusterToSector(ctx_, fat_, cluster) * 512; }
  void Write(qint64 at, const QByteArray& data) {
    QFile f(path_);
    ok_ = ok_ && f.open(QIODevice::ReadWrite) && f.seek(at) && f.write(data) == data.size();
  }
  QString path_;
  bool ok_ = false;
  VolumeContext ctx_;
  FatState fat_;
};

struct Found {
  QString path;
  int64_t size;
  QString value;
};

// Every found file by its key (or OtherFiles name; repeated names get " #2" ...).
std::map<QString, Found> FoundByName(const FoundState& found) {
  std::map<QString, Found> byName;
  for (const FoundRow& row : AllFoundRows(found)) {
    const EntryValue e = ParseEntryValue(row.value);
    QString key = row.name;
    for (int n = 2; byName.count(key); ++n) key = row.name + QString(" #%1").arg(n);
    byName[key] = {e.path, e.size, row.value};
  }
  return byName;
}

class FatScan : public ::testing::Test {
 protected:
  ScanRunResult Scan(const QString& image, const QString& fsName, uint64_t offset = 0) {
    const uint64_t size = uint64_t(QFileInfo(image).size()) - offset;
    state_.Program.Drives.drives = {test::ImageDrive(image, offset, size, "C:", fsName, image)};
    return QuickScanRun(state_, hooks_, "C:");
  }
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink hooks_;
  test::BegunRun run_;  // for restoring outside a recovery run
};

}  // namespace

TEST_F(FatScan, SyntheticVolumeCoversTheEntryRules) {
  const QString image = dir_.filePath("synthetic.img");
  SyntheticFat16 v(image);
  ASSERT_TRUE(v.ok());
  const QString wide = QString::fromUtf8("ÿ wide （paren） name.txt");
  v.Root(0, LongNameEntry(wide.mid(13), true));
  v.Root(1, LongNameEntry(wide.left(13), true));
  v.Root(2, Entry("\xE5" "WIDE~1 TXT", 0x20, 40, 100));
  v.Root(3, Entry("\xE5" "HAINED TXT", 0x20, 5, 4000));  // chain 5 -> 9 still in the table
  v.Link(5, 9);
  v.Link(9, 0xFFFF);
  v.Fill(5, 'A');
  v.Fill(6, 'X');
  v.Fill(9, 'B');
  v.Root(4, Entry("\xE5" "IG     ISO", 0x20, 60, 3000000000u));
  v.Root(5, Entry("\xE5" "LD2021 TXT", 0x20, 70, 10, uint16_t((2021 - 1980) << 9 | 1 << 5 | 1)));
  const int nextYear = QDate::currentDate().year() + 1;
  v.Root(6, Entry("\xE5" "UTURE  TXT", 0x20, 71, 10, uint16_t((nextYear - 1980) << 9 | 1 << 5 | 1)));
  v.Root(7, Entry("\xE5" "MPTY   TXT", 0x20, 72, 0));
  v.Root(8, Entry("LOWDIR     ", 0x10, 3, 0));  // a folder at cluster 3
  v.Link(3, 0xFFFF);
  v.InCluster(3, 0, Entry("\xE5" "EPORT  DOC", 0x20, 80, 5));
  v.Root(9, Entry("LOOP       ", 0x10, 4, 0));  // holds a folder that is itself
  v.Link(4, 0xFFFF);
  v.InCluster(4, 0, Entry("SELF       ", 0x10, 4, 0));
  v.InCluster(4, 1, Entry("\xE5" "OOPED  TXT", 0x20, 81, 5));
  v.Root(10, Entry("\xE5" "ELDIR     ", 0x10, 20, 0));  // a deleted folder
  v.InCluster(20, 0, Entry("\xE5" "NDEL   TXT", 0x20, 82, 7));
  v.Root(11, Entry("\xE5" "ATA    BIN", 0x20, 83, 9));
  v.Root(12, Entry("\xE5" "ATA    BIN", 0x20, 83, 9));
  v.Root(13, Entry("\xE5" "EPORT  DOC", 0x20, 84, 6));
  v.Root(14, Entry("BIGDIR     ", 0x10, 100, 0));  // two clusters: 64 live entries, then a deleted one
  v.Link(100, 150);
  v.Link(150, 0xFFFF);
  for (int i = 0; i < 64; ++i) v.InCluster(100, i, Entry("LIVE    TXT", 0x20, 200, 1));
  v.InCluster(150, 0, Entry("\xE5" "EYOND  TXT", 0x20, 85, 8));
  ASSERT_TRUE(v.ok());

  ASSERT_EQ(Scan(image, "FAT").end, ScanRunEnd::FilesFound);
  const auto found = FoundByName(state_.Scan.Found);
  const QString o = QString(QChar(0xF5));
  const std::map<QString, std::pair<QString, int64_t>> expected = {
      {wide, {"C:\\", 100}},
      {o + "HAINED.TXT", {"C:\\", 4000}},
      {o + "IG.ISO", {"C:\\", 3000000000}},  // beyond 2 GiB
      {o + "LD2021.TXT", {"C:\\", 10}},      // a year after 2020
      {o + "EPORT.DOC", {"C:\\", 6}},
      {o + "EPORT.DOC(1)", {"C:\\LOWDIR\\", 5}},
      {o + "OOPED.TXT", {"C:\\LOOP\\", 5}},
      {o + "NDEL.TXT", {"C:\\" + o + "ELDIR\\", 7}},
      {o + "ATA.BIN", {"C:\\", 9}},
      {o + "ATA.BIN #2", {"C:\\", 9}},
      {o + "EYOND.TXT", {"C:\\BIGDIR\\", 8}},  // in the folder's second cluster
  };
  std::map<QString, std::pair<QString, int64_t>> actual;
  for (const auto& [name, f] : found) actual[name] = {f.path, f.size};
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(state_.Scan.Found.OtherFiles.size(), 3);  // both DATA.BIN and the ISO image

  // The chain still in the table is followed; the consecutive clusters would give 'X's.
  const QString save = dir_.filePath("saved");
  RestoreOutcome written =
      RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, found.at(o + "HAINED.TXT").value, {save, o + "HAINED.TXT"}, run_);
  ASSERT_TRUE(written.Written());
  QFile restored(written.path);
  ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
  EXPECT_EQ(restored.readAll(), QByteArray(2048, 'A') + QByteArray(1952, 'B'));

  // A name the save folder cannot take is written under the fallback name.
  written = RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, found.at(o + "LD2021.TXT").value,
                           {save, QString(300, 'x') + ".txt", "File7"}, run_);
  ASSERT_TRUE(written.Written());
  EXPECT_EQ(QFileInfo(written.path).fileName(), "File7");
  // No first cluster or no size: nothing is written.
  EXPECT_FALSE(RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, "0#C:\\#2024/05/06#10", {save, "a.txt"}, run_).Written());
  EXPECT_FALSE(RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, "R#/x/a.txt#d#10", {save, "a.txt"}, run_).Written());
}

TEST_F(FatScan, FixtureDeletedFilesAreFoundWithTheirNamesAndFolders) {
  for (const auto& [name, fs, offset] : test::FatFixtures()) {
    SCOPED_TRACE(name);
    const QString image = test::Unpack(test::SourceDir() + "/tests/data/" + name + ".gz", dir_.path(), name);
    ASSERT_FALSE(image.isEmpty());
    ASSERT_EQ(Scan(image, fs, offset).end, ScanRunEnd::FilesFound);
    const auto found = FoundByName(state_.Scan.Found);
    int checked = 0;
    for (const test::ManifestRow& row :
         test::ReadManifest(test::SourceDir() + "/tests/data/" + name + ".manifest.tsv")) {
      if (row.size == 0 || row.reused) continue;
      ++checked;
      const bool hit = std::any_of(found.begin(), found.end(), [&](const auto& f) {
        const QString key = QString(f.first).remove(QRegularExpression("(\\(\\d+\\))?( #\\d+)?$"));
        return test::SameFoundName(key, row.name) && test::SameFoundFolder(f.second.path, row.folder) &&
               f.second.size == row.size;
      });
      EXPECT_TRUE(hit) << row.folder.toStdString() << row.name.toStdString();
    }
    EXPECT_GE(checked, 24);
    // Long names come whole, in any script; short names show the deleted mark.
    for (const char* key : {"Grüße.txt", "фото.jpg", "日本語.doc", "Item 070.txt", "Ünïcödé name.html"})
      EXPECT_TRUE(found.count(QString::fromUtf8(key))) << key;
    EXPECT_TRUE(found.count(QString::fromUtf8("õEPORT.DOC(2)")));

    // A mask narrows the files of a folder, while every subfolder is still queued.
    state_.Scan.Found.ResetForScan();
    state_.Scan.Fat.ListedDirs.clear();
    state_.Scan.Fat.ListedDirClusters.clear();
    state_.Scan.NameMask = "*.JPG";
    test::BegunRun run;
    FATFind1(state_.Scan.Volume, state_.Scan.Fat, state_.Scan.Found, state_.Scan.NameMask, run, hooks_, "C:\\");
    EXPECT_EQ(state_.Scan.Found.FoundCount, 1);
    EXPECT_TRUE(state_.Scan.Found.FoundFiles.KeyExists("JPG", QString::fromUtf8("фото.jpg")));
    EXPECT_TRUE(state_.Scan.Found.DirList.contains("C:\\Trash folder\\"));
  }
}

TEST_F(FatScan, DamagedReferenceVolumesScanToTheEnd) {
  const QDir anchors(test::AnchorsDir() + "/fat");
  if (!anchors.exists("deleted.img.gz")) GTEST_SKIP() << "anchors folder absent (../shared/anchors/fat)";
  const struct {
    const char* image;
    ScanRunEnd end;
    const char* listed;  // folder and name of a deleted file it must list
  } cases[] = {
      {"deleted.img", ScanRunEnd::FilesFound, "C:\\deleted\\file.txt"},
      {"directory-loop.img", ScanRunEnd::NothingFound, nullptr},
      {"infinite-file.img", ScanRunEnd::FilesFound, "C:\\.BigMamma.swp"},
      {"two-file-same-cluster.img", ScanRunEnd::NothingFound, nullptr},
      {"repair.img", ScanRunEnd::NothingFound, nullptr},  // its deleted entries are empty swap files
      {"hello-world.img", ScanRunEnd::NothingFound, nullptr},
      {"fake-big-disk-1T.img", ScanRunEnd::CheckFailed, nullptr},  // the claimed table lies past the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image);
    const QString image = test::Unpack(anchors.filePath(QString(c.image) + ".gz"), dir_.path(), c.image);
    ASSERT_FALSE(image.isEmpty());
    const ScanRunResult r = Scan(image, "FAT32");
    EXPECT_EQ(r.end, c.end) << r.message.toStdString();
    if (!c.listed) continue;
    QStringList paths;
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found)) paths << ParseEntryValue(row.value).path + row.name;
    EXPECT_TRUE(paths.contains(c.listed)) << paths.join(", ").toStdString();
    // Restoring ends too, the looping chain included.
    const QString save = dir_.filePath(QString("saved-") + c.image);
    state_.Program.Config.SaveFolder = save;
    ASSERT_TRUE(QDir().mkpath(save));
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      EXPECT_TRUE(RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, row.value, {save, row.name}, run_).Written());
  }
  // The Sleuth Kit reads the same bytes for the deleted file of deleted.img.
  const QString image = dir_.filePath("deleted.img");
  const auto icat = test::Run("icat", {image, "24"});
  ASSERT_EQ(icat.exitCode, 0);
  QFile restored(dir_.filePath("saved-deleted.img/file.txt"));
  ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
  EXPECT_EQ(restored.readAll(), icat.out);
}

// Volumes from mkfs.fat and mtools with a file written and deleted: one with
// 4096-byte sectors, one FAT32 whose root folder lies elsewhere than cluster 2.
TEST_F(FatScan, SectorSizeAndRootClusterComeFromTheBootSector) {
  QByteArray payload(10000, '\0');
  uint32_t x = 12345;
  for (char& c : payload) c = char((x = x * 1103515245 + 12345) >> 16);
  const QString source = dir_.filePath("payload.bin");
  QFile out(source);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(payload) == payload.size());
  out.close();

  const struct {
    const char* what;
    const char* format;  // mkfs.fat options
    const char* fs;
    bool moveRoot;
  } cases[] = {
      {"4096-byte sectors", "-S 4096 -s 1 -F 16", "FAT", false},
      {"FAT32 root at cluster 1000", "-S 512 -s 1 -F 32", "FAT32", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString image = dir_.filePath(QString(c.what) + ".img");
    ASSERT_TRUE(test::Shell(QString("mkfs.fat %1 -C '%2' 40000 >/dev/null && mcopy -i '%2' '%3' ::/MOVED.BIN && "
                                    "mdel -i '%2' ::/MOVED.BIN")
                                .arg(c.format, image, source)));
    if (c.moveRoot) {
      // Copy the root's cluster to cluster 1000, end its chain there, point the boot sector at it.
      test::TestVolume v(test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", "FAT32", "x"));
      v.ctx.FsKind = FsFat32;
      FatState fat;
      ASSERT_TRUE(ReadGeometryFAT(v.ctx, fat));
      QFile f(image);
      ASSERT_TRUE(f.open(QIODevice::ReadWrite));
      ASSERT_TRUE(f.seek(FatClusterToSector(v.ctx, fat, 2) * 512));
      const QByteArray root = f.read(512);
      QByteArray end(4, '\0'), start(4, '\0');
      PutLE(end, 0, 0x0FFFFFFF, 4);
      PutLE(start, 0, 1000, 4);
      ASSERT_TRUE(f.seek(FatClusterToSector(v.ctx, fat, 1000) * 512) && f.write(root) == 512);
      ASSERT_TRUE(f.seek(fat.ReservedSectors * 512 + 1000 * 4) && f.write(end) == 4);
      ASSERT_TRUE(f.seek(44) && f.write(start) == 4);
      ASSERT_TRUE(f.seek(FatClusterToSector(v.ctx, fat, 2) * 512) && f.write(QByteArray(512, '\0')) == 512);
    }
    ASSERT_EQ(Scan(image, c.fs).end, ScanRunEnd::FilesFound);
    const auto found = FoundByName(state_.Scan.Found);
    const QString name = QString::fromUtf8("õOVED.BIN");
    ASSERT_EQ(found.count(name), 1u);
    EXPECT_EQ(found.at(name).size, payload.size());
    const RestoreOutcome written =
        RestoreFileFAT(state_.Scan.Volume, state_.Scan.Fat, found.at(name).value, {dir_.filePath(c.fs), name}, run_);
    ASSERT_TRUE(written.Written());
    QFile restored(written.path);
    ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
    EXPECT_EQ(restored.readAll(), payload);
  }
}

namespace {

}  // namespace

TEST_F(FatScan, ProgressOnlyGrowsAndAnEarlyStopFindsNothing) {
  const QString image = test::Unpack(test::SourceDir() + "/tests/data/fat16.img.gz", dir_.path(), "fat16.img");
  ASSERT_FALSE(image.isEmpty());
  state_.Program.Drives.drives = {test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", "FAT", "f")};
  test::RecordingSink sink;
  sink.Attach(state_.Run);
  ASSERT_EQ(QuickScanRun(state_, sink, "C:").end, ScanRunEnd::FilesFound);
  // The engine appends folders while the run walks the list: the bar must not shrink.
  ASSERT_FALSE(sink.percents.empty());
  EXPECT_TRUE(std::adjacent_find(sink.percents.begin(), sink.percents.end(), std::greater_equal<int>()) ==
              sink.percents.end());
  EXPECT_EQ(sink.events.end()[-2], "done");

  // A stop before the first folder: no folder listed, no Recycle Bin, nothing found.
  test::RecordingSink early;
  early.Attach(state_.Run);
  early.stopAtPump = 1;
  const ScanRunResult r = QuickScanRun(state_, early, "C:");
  EXPECT_EQ(r.end, ScanRunEnd::NothingFound);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(state_.Scan.Found.FoundCount, 0);
  EXPECT_EQ(state_.Scan.Found.ScannedCount, 0);
}

TEST_F(FatScan, DeepScanPathsSizesLoopsAndFilesThatAreBack) {
  const QString image = dir_.filePath("synthetic.img");
  SyntheticFat16 v(image);  // no volume label: the root's first entry is a folder
  ASSERT_TRUE(v.ok());
  v.Root(0, Entry("TOPDIR     ", 0x10, 3, 0));
  v.Link(3, 0xFFFF);
  v.InCluster(3, 0, Entry(".          ", 0x10, 3, 0));
  v.InCluster(3, 1, Entry("..         ", 0x10, 0, 0));
  v.InCluster(3, 2, Entry("\xE5" "IG2    ISO", 0x20, 60, 2500000000u));  // 2 GiB and more
  v.InCluster(3, 3, Entry("\xE5" "MALL   TXT", 0x20, 61, 5));
  v.InCluster(3, 4, LongNameEntry("back.txt", true));  // deleted, and written again since
  v.InCluster(3, 5, Entry("\xE5" "ACK    TXT", 0x20, 63, 9));
  // Two folders whose ".." links lead to each other, reachable from nowhere.
  for (auto [self, other, name] : {std::tuple{4, 5, "LOOPB      "}, std::tuple{5, 4, "LOOPA      "}}) {
    v.Link(self, 0xFFFF);
    v.InCluster(self, 0, Entry(".          ", 0x10, uint32_t(self), 0));
    v.InCluster(self, 1, Entry("..         ", 0x10, uint32_t(other), 0));
    v.InCluster(self, 2, Entry(name, 0x10, uint32_t(other), 0));
  }
  v.InCluster(4, 3, Entry("\xE5" "OST    TXT", 0x20, 62, 7));
  ASSERT_TRUE(v.ok());

  // The mounted volume (a folder standing in for it) holds back.txt again.
  const QString live = dir_.filePath("live");
  ASSERT_TRUE(QDir().mkpath(live + "/TOPDIR"));
  QFile again(live + "/TOPDIR/back.txt");
  ASSERT_TRUE(again.open(QIODevice::WriteOnly));
  again.close();
  state_.Program.Drives.drives = {test::ImageDrive(image, 0, 16 << 20, "C:", "FAT", "synthetic")};
  AdvancedScanOptions deep;
  deep.deep = true;
  ASSERT_EQ(AdvancedScanRun(state_, hooks_, "C:", deep).end, ScanRunEnd::FilesFound);
  EXPECT_EQ(FoundByName(state_.Scan.Found).count("back.txt"), 1u);
  state_.Program.Drives.drives[0].mountPoint = live;
  ASSERT_EQ(AdvancedScanRun(state_, hooks_, "C:", deep).end, ScanRunEnd::FilesFound);
  EXPECT_EQ(FoundByName(state_.Scan.Found).count("back.txt"), 0u) << "a file that is back is not listed";
  const auto found = FoundByName(state_.Scan.Found);
  const QString o = QString(QChar(0xF5));
  ASSERT_EQ(found.count(o + "IG2.ISO"), 1u);
  EXPECT_EQ(found.at(o + "IG2.ISO").path, "C:\\TOPDIR\\");
  EXPECT_EQ(found.at(o + "IG2.ISO").size, 2500000000);
  EXPECT_EQ(found.at(o + "MALL.TXT").path, "C:\\TOPDIR\\");
  ASSERT_EQ(found.count(o + "OST.TXT"), 1u);
  EXPECT_TRUE(found.at(o + "OST.TXT").path.endsWith("LOOPA\\")) << found.at(o + "OST.TXT").path.toStdString();
  EXPECT_FALSE(state_.Run.Busy());
}

// A name on the volume holding an escape sequence reaches the terminal
// defused in text output, and escaped in JSON.
TEST_F(FatScan, HostileNamesAreDefusedOnTheTerminal) {
  const QString image = dir_.filePath("synthetic.img");
  SyntheticFat16 v(image);
  ASSERT_TRUE(v.ok());
  const QString evil = QString("evil") + QChar(0x1B) + "]0;owned" + QChar(0x07) + ".txt";
  v.Root(0, LongNameEntry(evil.mid(13), true));
  v.Root(1, LongNameEntry(evil.left(13), true));
  v.Root(2, Entry("\xE5" "VIL~1  TXT", 0x20, 40, 100));
  ASSERT_TRUE(v.ok());
  const auto text = test::RunCli(dir_.path(), {"scan", "--image", image});
  ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
  EXPECT_FALSE(text.out.contains('\x1b'));
  EXPECT_FALSE(text.out.contains('\x07'));
  EXPECT_TRUE(text.out.contains("C:\\evil?]0;owned?.txt")) << text.out.toStdString();
  const auto json = test::RunCli(dir_.path(), {"scan", "--json", "--image", image});
  EXPECT_TRUE(json.out.contains("evil\\u001b]0;owned\\u0007.txt")) << json.out.toStdString();
}

// A live folder of many clusters, its clusters interleaved with other files',
// is read along its chain in the table's own entry width: deleted files in
// its last clusters are found on FAT12 as on FAT16 and FAT32.
TEST_F(FatScan, ALiveFolderIsReadAlongItsChainInEveryTableWidth) {
  const struct {
    const char* format;
    int kib;
    const char* fs;
  } cases[] = {{"-F 12 -s 1 -S 512", 2048, "FAT"}, {"-F 16 -s 1 -S 512", 16384, "FAT"}, {"-F 32 -s 1 -S 512", 40000, "FAT32"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    QTemporaryDir dir;
    const QString image = dir.filePath("folder.img");
    QFile small(dir.filePath("a.txt"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly) && small.write(QByteArray(600, 'x')) == 600);
    small.close();
    // Each long name takes three entries: a 512-byte cluster holds five of
    // them, so 40 names fill eight clusters; the root's files come between.
    QString script = QString("export MTOOLS_SKIP_CHECK=1; mkfs.fat %1 -C '%2' %3 >/dev/null && mmd -i '%2' ::/Folder")
                         .arg(c.format, image)
                         .arg(c.kib);
    for (int i = 1; i <= 40; ++i) {
      script += QString(" && mcopy -i '%1' '%2' '::/Folder/long file name %3.txt'").arg(image, small.fileName()).arg(i, 2, 10, QChar('0'));
      if (i % 5 == 0) script += QString(" && mcopy -i '%1' '%2' '::/between%3.txt'").arg(image, small.fileName()).arg(i);
    }
    script += QString(" && mdel -i '%1' '::/Folder/long file name 03.txt' '::/Folder/long file name 22.txt' "
                      "'::/Folder/long file name 39.txt'")
                  .arg(image);
    ASSERT_TRUE(test::Shell(script));
    ASSERT_EQ(Scan(image, c.fs).end, ScanRunEnd::FilesFound);
    QStringList names;
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      if (ParseEntryValue(row.value).path == "C:\\Folder\\") names << row.name;
    names.sort();
    EXPECT_EQ(names.join(", ").toStdString(), "long file name 03.txt, long file name 22.txt, long file name 39.txt");
  }
}
