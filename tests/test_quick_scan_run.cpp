// The quick scan run as a whole: its checks and messages, what it shows on
// the progress sink, stops, the statistics, the Recycle Bin of a mounted
// volume, the folder lister and the recovery of found rows.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "found/ScanDir.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"
#include "scan/ScanStatistics.h"
#include "settings/Registry.h"

using namespace undelvo;

namespace {

class QuickScanRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image_ = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", dir_.path(), "ntfs.img");
    ASSERT_FALSE(image_.isEmpty());
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
    sink_.Attach(state_.Run);
  }
  DriveEntry NtfsDrive(const QString& path) const {
    return test::ImageDrive(path, 0, uint64_t(QFileInfo(path).size()), "C:", "NTFS", "fixture");
  }
  bool StatisticWritten() const {
    return state_.Program.Registry.Read(RegRoot::CurrentUser, kSettingsKey, "nFound").has_value();
  }

  QTemporaryDir dir_;
  QString image_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
};

// Overwrites `count` bytes at `offset` of a file with zeros.
bool ZeroBytes(const QString& path, qint64 offset, qint64 count) {
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite) || !f.seek(offset)) return false;
  return f.write(QByteArray(count, '\0')) == count;
}

}  // namespace

TEST_F(QuickScanRunTest, NtfsRunFindsFilesShowsProgressAndSavesTheStatistics) {
  state_.Program.Drives.drives.push_back(NtfsDrive(image_));
  state_.Scan.Found.OtherFiles.append("stale.xyz=1#C:\\#d#1");  // a previous scan's results must go
  const ScanRunResult r = QuickScanRun(state_, sink_, "C: (NTFS)");

  EXPECT_EQ(r.end, ScanRunEnd::FilesFound);
  EXPECT_TRUE(r.message.isEmpty());
  EXPECT_GT(state_.Scan.Found.FoundCount, 15);
  EXPECT_FALSE(state_.Scan.Found.OtherFiles.contains("stale.xyz=1#C:\\#d#1"));
  EXPECT_FALSE(state_.Run.Busy());
  EXPECT_FALSE(r.stopped);
  EXPECT_TRUE(state_.Scan.Found.DirList.isEmpty());

  // Running first with the bar at 0 and an empty label; the end full, "100%".
  ASSERT_GE(sink_.events.size(), 4u);
  EXPECT_EQ(sink_.events[0], "running");
  EXPECT_EQ(sink_.events[1], "reset");
  const std::vector<std::string> tail(sink_.events.end() - 2, sink_.events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"done", "idle"}));
  for (int p : sink_.percents) EXPECT_TRUE(p >= 1 && p <= 100) << p;

  const ScanStatistics stats = LoadScanStatistics(state_.Program.Registry);
  EXPECT_EQ(stats.Found, state_.Scan.Found.FoundCount);
  EXPECT_LE(std::abs(stats.LastRun.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(QuickScanRunTest, ChecksRefuseWithTheirMessageAndWriteNoStatistic) {
  const QString noBoot = dir_.filePath("noboot.img"), noMft = dir_.filePath("nomft.img");
  ASSERT_TRUE(QFile::copy(image_, noBoot) && QFile::copy(image_, noMft));
  ASSERT_TRUE(ZeroBytes(noBoot, 0, 512));
  {  // record 0 of the MFT, found through the boot sector's cluster number and size
    QFile f(image_);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray boot = f.read(512);
    const qint64 cluster = qFromLittleEndian<quint16>(boot.constData() + 11) * quint8(boot[13]);
    ASSERT_TRUE(ZeroBytes(noMft, qFromLittleEndian<qint64>(boot.constData() + 48) * cluster, 1024));
  }
  const QString gone = dir_.filePath("gone.img");
  ASSERT_TRUE(QFile::copy(image_, gone));
  const QString other = dir_.filePath("other.img");
  ASSERT_TRUE(test::MakeSparseFile(other, 1 << 20));

  struct Case {
    const char* what;
    std::vector<DriveEntry> drives;
    const char* selected;
    QString message;
  };
  const QString notFound = "Drive not found!";
  std::vector<Case> cases = {
      {"no drives at all", {}, "C:", notFound},
      {"a letter not in the list", {NtfsDrive(image_)}, "D:", notFound},
      {"a drive whose image went away", {NtfsDrive(gone)}, "C:", notFound},
      {"another file system",
       {test::ImageDrive(other, 0, 1 << 20, "C:", "ext4", "x")},
       "C:",
       "The software supports only FAT and NTFS file systems!"},
      {"a broken boot sector", {NtfsDrive(noBoot)}, "C:", "Error reading boot sector (NTFS)!"},
      {"a destroyed MFT record 0", {NtfsDrive(noMft)}, "C:", "MFT list reading error!"},
  };
  ASSERT_TRUE(QFile::remove(gone));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UndelvoState state(dir_.filePath("registry.reg"));
    state.Program.GeometryCacheFile = dir_.filePath(QString("cache-%1.ini").arg(c.what));
    state.Program.Drives.drives = c.drives;
    state.Scan.Found.OtherFiles.append("kept.xyz=1#C:\\#d#1");
    test::RecordingSink sink;
    const ScanRunResult r = QuickScanRun(state, sink, c.selected);
    EXPECT_EQ(r.end, ScanRunEnd::CheckFailed);
    EXPECT_EQ(r.message, c.message);
    EXPECT_TRUE(sink.events.empty()) << "the panel must stay as it was";
    EXPECT_EQ(state.Scan.Found.OtherFiles.size(), 1);
    EXPECT_FALSE(state.Program.Registry.Read(RegRoot::CurrentUser, kSettingsKey, "nFound").has_value());
  }
}

TEST_F(QuickScanRunTest, MessagesComeFromTheLanguageFile) {
  state_.Program.Lang.LoadFromFile(test::SourceDir() + "/src/settings/lang/German.ini");
  EXPECT_EQ(QuickScanRun(state_, sink_, "C:").message, "Laufwerk nicht gefunden!");
}

TEST_F(QuickScanRunTest, StopKeepsWhatWasFoundOrEndsWithNothingFound) {
  state_.Program.Drives.drives.push_back(NtfsDrive(image_));
  ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);
  const int all = state_.Scan.Found.FoundCount;
  const int pumps = sink_.pumps;

  // A stop late in the walk keeps the files found until then.
  test::RecordingSink late;
  late.Attach(state_.Run);
  late.stopAtPump = pumps - 5;
  const ScanRunResult stopped = QuickScanRun(state_, late, "C:");
  EXPECT_EQ(stopped.end, ScanRunEnd::FilesFound);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_GT(state_.Scan.Found.FoundCount, 0);
  EXPECT_LE(state_.Scan.Found.FoundCount, all);
  EXPECT_EQ(LoadScanStatistics(state_.Program.Registry).Found, state_.Scan.Found.FoundCount);

  // A stop at once: nothing found, the store emptied, "Found 0" shown and saved.
  test::RecordingSink early;
  early.Attach(state_.Run);
  early.stopAtPump = 1;
  const ScanRunResult r = QuickScanRun(state_, early, "C:");
  EXPECT_EQ(r.end, ScanRunEnd::NothingFound);
  EXPECT_EQ(r.message, "Found 0 deleted files on this drive!");
  QStringList sections;
  state_.Scan.Found.FoundFiles.ReadSectionNames(sections);
  EXPECT_TRUE(sections.isEmpty());
  EXPECT_EQ(LoadScanStatistics(state_.Program.Registry).Found, 0);
  EXPECT_EQ(early.events.back(), "idle");
}

TEST_F(QuickScanRunTest, RecycleBinFoldersOfTheMountedVolumeAreListed) {
  // The mount point stands in for the mounted volume: only its bin folders are read.
  const QString mount = dir_.filePath("mnt");
  ASSERT_TRUE(QDir().mkpath(mount + "/$RECYCLE.BIN/S-1-5-21/$RAB12CD") && QDir().mkpath(mount + "/RECYCLER"));
  auto write = [](const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
  };
  ASSERT_TRUE(write(mount + "/$RECYCLE.BIN/S-1-5-21/$RAB12CE.jpg", "jpeg bytes"));
  ASSERT_TRUE(write(mount + "/$RECYCLE.BIN/S-1-5-21/$RAB12CD/inner.txt", "inner"));
  ASSERT_TRUE(write(mount + "/RECYCLER/old.doc", "old"));
  ASSERT_TRUE(write(mount + "/outside.txt", "not in a bin"));
  DriveEntry drive = NtfsDrive(image_);
  drive.mountPoint = mount;
  state_.Program.Drives.drives.push_back(drive);
  ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);

  QStringList binFiles;
  for (const FoundRow& row : AllFoundRows(state_.Scan.Found)) {
    const EntryValue e = ParseEntryValue(row.value);
    if (e.IsRecycleBin()) binFiles << QFileInfo(e.path).fileName() + " " + row.section;
  }
  binFiles.sort();
  EXPECT_EQ(binFiles, QStringList({"$RAB12CE.jpg JPG", "inner.txt TXT", "old.doc DOC"}));

  // Recovering them copies the files; a name already in the save folder is left alone.
  state_.Program.Config.SaveFolder = dir_.filePath("saved");
  ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
  ASSERT_TRUE(write(state_.Program.Config.SaveFolder + "/old.doc", "mine"));
  const auto rows = SearchFoundRows(state_.Scan.Found, "*.*");
  std::vector<FoundRow> bin;
  for (const FoundRow& row : rows)
    if (ParseEntryValue(row.value).IsRecycleBin()) bin.push_back(row);
  EXPECT_EQ(test::RecoverAll(state_, sink_, bin).restored, 2);
  QFile kept(state_.Program.Config.SaveFolder + "/old.doc");
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "mine");
  QFile copied(state_.Program.Config.SaveFolder + "/$RAB12CE.jpg");
  ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
  EXPECT_EQ(copied.readAll(), "jpeg bytes");
}

TEST(ScanDirTest, ListsLiveFoldersDepthFirstAsDrivePathsAndStops) {
  QTemporaryDir dir;
  const QString root = dir.path();
  for (const char* d : {"A/B", "B", ".hidden", "A/B/C"}) ASSERT_TRUE(QDir(root).mkpath(d));
  ASSERT_TRUE(QFile::link(root + "/A", root + "/B/back-to-A"));  // a loop through a link
  UndelvoState state(dir.filePath("registry.reg"));
  state.Run.Begin();
  test::RecordingSink sink;
  sink.Attach(state.Run);
  ScanDir(state.Scan.Found, state.Run, root + "/", "C:\\");
  QStringList listed = state.Scan.Found.DirList;
  // Depth first: a folder's children follow it directly.
  const qsizetype a = listed.indexOf("C:\\A\\");
  ASSERT_GE(a, 0);
  EXPECT_EQ(listed.mid(a, 3), QStringList({"C:\\A\\", "C:\\A\\B\\", "C:\\A\\B\\C\\"}));
  listed.sort();
  EXPECT_EQ(listed, QStringList({"C:\\.hidden\\", "C:\\A\\", "C:\\A\\B\\", "C:\\A\\B\\C\\", "C:\\B\\"}));

  // A stop ends every level at its next entry.
  state.Scan.Found.DirList.clear();
  sink.pumps = 0;
  sink.stopAtPump = 2;
  ScanDir(state.Scan.Found, state.Run, root, "C:\\");
  EXPECT_EQ(state.Scan.Found.DirList.size(), 1);

  // An unmounted volume has no live folders.
  state.Run.Begin();
  state.Scan.Found.DirList.clear();
  ScanDir(state.Scan.Found, state.Run, QString(), "C:\\");
  EXPECT_TRUE(state.Scan.Found.DirList.isEmpty());
  EXPECT_EQ(LiveFolderOf("/media/usb/", "C:\\Photos\\2019\\"), "/media/usb/Photos/2019/");
}

TEST(FoundRowsTest, SearchMatchesKeysByTextOrMaskAndOtherFilesByTheWholeLine) {
  FoundState found;
  found.FoundFiles.Write("DOC", "Report.doc", "10#C:\\Work\\#d#1");
  found.FoundFiles.Write("JPG", "holiday.jpg", "11#C:\\Photos\\#d#2");
  found.FoundFiles.Write("TXT", "notes.txt", "12#C:\\Report drafts\\#d#3");
  found.OtherFiles << "data.xyz=13#C:\\Report drafts\\#d#4" << "a=b.cfg=14#C:\\#d#5";
  auto names = [&](const QString& text) {
    QStringList out;
    for (const FoundRow& row : SearchFoundRows(found, text)) out << row.name;
    return out;
  };
  const struct {
    const char* text;
    QStringList hits;
  } cases[] = {
      {"report", {"Report.doc", "data.xyz"}},  // other files match on their folder too
      {"*.jpg", {"holiday.jpg"}},
      {"*.xyz", {"data.xyz"}},
      {"*.*", {"Report.doc", "holiday.jpg", "notes.txt", "data.xyz", "a=b.cfg"}},
      {"r?port.*", {"Report.doc"}},
      {"*.doc,*.txt", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(names(c.text), c.hits) << c.text;
  EXPECT_EQ(AllFoundRows(found).size(), 5u);
  EXPECT_EQ(SearchFoundRows(found, "cfg").at(0).value, "14#C:\\#d#5");
}

TEST_F(QuickScanRunTest, RecoveryShowsRoundedProgressBeforeEachRowAndStops) {
  state_.Program.Drives.drives.push_back(NtfsDrive(image_));
  ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);
  std::vector<FoundRow> rows;
  for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
    if (rows.size() < 4 && ParseEntryValue(row.value).size > 0) rows.push_back(row);
  ASSERT_EQ(rows.size(), 4u);
  state_.Program.Config.SaveFolder = dir_.filePath("out");
  ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
  test::RecordingSink sink;
  sink.Attach(state_.Run);
  EXPECT_EQ(test::RecoverAll(state_, sink, rows).restored, 4);
  std::vector<std::string> percents;
  for (const std::string& e : sink.events)
    if (e.rfind("percent", 0) == 0) percents.push_back(e);
  EXPECT_EQ(percents, (std::vector<std::string>{"percent 25", "percent 50", "percent 75"}));

  // A stop after the first row lets the others pass without work.
  test::RecordingSink stopping;
  stopping.Attach(state_.Run);
  stopping.stopAtPercent = 25;
  const QString second = dir_.filePath("out2");
  state_.Program.Config.SaveFolder = second;
  ASSERT_TRUE(QDir().mkpath(second));
  const RecoverRunResult stopped = test::RecoverAll(state_, stopping, rows);
  EXPECT_EQ(stopped.restored, 1);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(QDir(second).entryList(QDir::Files).size(), 1);
}
