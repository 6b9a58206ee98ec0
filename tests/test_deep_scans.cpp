// The advanced scan run and the deep scans: an NTFS volume whose MFT map is
// destroyed, FAT files in deleted folders, masks and name searches.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/DeepScanStepText.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

struct Row {
  QString name, path;
  int64_t size;
};

std::vector<Row> Rows(const FoundState& found) {
  std::vector<Row> rows;
  for (const FoundRow& r : AllFoundRows(found)) {
    const EntryValue e = ParseEntryValue(r.value);
    rows.push_back({r.name, e.path, e.size});
  }
  return rows;
}

class DeepScan : public ::testing::Test {
 protected:
  QString Unpack(const QString& name) {
    const QString image = test::Unpack(test::SourceDir() + "/tests/data/" + name + ".gz", dir_.path(), name);
    EXPECT_FALSE(image.isEmpty());
    return image;
  }
  void UseDrive(const QString& image, const QString& fsName, uint64_t offset = 0) {
    state_.Program.Drives.drives = {
        test::ImageDrive(image, offset, uint64_t(QFileInfo(image).size()) - offset, "C:", fsName, image)};
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
  }
  // Zeroes MFT record `record` of an NTFS image whose MFT starts in one run.
  static bool DestroyRecord(const QString& image, int record) {
    QFile f(image);
    if (!f.open(QIODevice::ReadWrite)) return false;
    const QByteArray boot = f.read(512);
    const qint64 cluster = qFromLittleEndian<quint16>(boot.constData() + 11) * quint8(boot[13]);
    const qint64 at = qFromLittleEndian<qint64>(boot.constData() + 48) * cluster + record * 1024;
    return f.seek(at) && f.write(QByteArray(1024, '\0')) == 1024;
  }
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
};

}  // namespace

TEST_F(DeepScan, NtfsWithoutItsMftMapStillFindsAndRestoresTheDeletedFiles) {
  const QString image = Unpack("ntfs.img");
  ASSERT_TRUE(DestroyRecord(image, 0));
  UseDrive(image, "NTFS");
  EXPECT_EQ(QuickScanRun(state_, sink_, "C:").message, "MFT list reading error!");

  const ScanRunResult r = AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}});
  ASSERT_EQ(r.end, ScanRunEnd::FilesFound) << r.message.toStdString();
  EXPECT_EQ(sink_.steps, (std::vector<int>{1, 2, 3, 4}));
  QStringList texts;
  for (int step : sink_.steps) texts << DeepScanStepText(state_.Program.Lang, step);
  EXPECT_EQ(texts, QStringList({"Find MFT records (1/4)", "Read MFT records (2/4)", "Find folders (3/4)",
                                "Find files (4/4)"}));
  EXPECT_FALSE(state_.Run.Busy());
  const std::vector<Row> rows = Rows(state_.Scan.Found);
  QSet<QByteArray> expected;
  for (const test::ManifestRow& m : test::ReadManifest(test::SourceDir() + "/tests/data/ntfs.img.manifest.tsv")) {
    if (m.reused || m.size == 0 || m.name.contains(".tmp")) continue;
    // Each file once, in its folder, with its size: zones are read once however many probes hit them.
    const auto hits = std::count_if(rows.begin(), rows.end(), [&](const Row& row) {
      return row.size == m.size && test::SameFoundFolder(row.path, m.folder);
    });
    EXPECT_EQ(hits, 1) << m.folder.toStdString() << m.name.toStdString();
    expected.insert(m.sha256);
  }
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const Row& row) { return row.name == "NODOT"; }))
      << "the deep scan needs no dot in a name";

  state_.Program.Config.SaveFolder = dir_.filePath("restored");
  ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
  test::RecoverAll(state_, sink_, AllFoundRows(state_.Scan.Found));
  QSet<QByteArray> written;
  for (const QString& f : QDir(state_.Program.Config.SaveFolder).entryList(QDir::Files))
    written.insert(test::FileSha256(state_.Program.Config.SaveFolder + "/" + f));
  for (const QByteArray& sha : expected) EXPECT_TRUE(written.contains(sha)) << sha.toStdString();
}

TEST_F(DeepScan, NtfsFileWhoseFolderRecordIsGoneGetsTheFolderNumber) {
  const QString image = Unpack("ntfs.img");
  const auto docs = test::Run("ifind", {"-n", "/docs", image});
  ASSERT_EQ(docs.exitCode, 0);
  const int record = docs.out.trimmed().toInt();
  ASSERT_GT(record, 0);
  ASSERT_TRUE(DestroyRecord(image, record));
  UseDrive(image, "NTFS");
  ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}}).end, ScanRunEnd::FilesFound);
  const std::vector<Row> rows = Rows(state_.Scan.Found);
  const QString folder = QString("C:\\Folder %1\\").arg(record);
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const Row& r) { return r.name == "plan.txt" && r.path == folder; }));
}

TEST_F(DeepScan, FatFilesOfDeletedFoldersGetTheirRebuiltPath) {
  for (const auto& [name, fs, offset] : test::FatFixtures()) {
    SCOPED_TRACE(name);
    UseDrive(Unpack(name), fs, offset);
    ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}}).end, ScanRunEnd::FilesFound);
    EXPECT_FALSE(state_.Run.Busy());
    const std::vector<Row> rows = Rows(state_.Scan.Found);
    state_.Program.Config.SaveFolder = dir_.filePath(QString("restored-") + name);
    ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
    test::RecoverAll(state_, sink_, AllFoundRows(state_.Scan.Found));
    QSet<QByteArray> written;
    for (const QString& f : QDir(state_.Program.Config.SaveFolder).entryList(QDir::Files))
      written.insert(test::FileSha256(state_.Program.Config.SaveFolder + "/" + f));
    int inDeletedFolders = 0;
    for (const test::ManifestRow& m : test::ReadManifest(test::SourceDir() + "/tests/data/" + name + ".manifest.tsv")) {
      if (m.reused || m.size == 0 || m.folder == "/") continue;  // the deep scan reads folders, not the root
      const bool hit = std::any_of(rows.begin(), rows.end(), [&](const Row& r) {
        return r.size == m.size && test::SameFoundFolder(r.path, m.folder);
      });
      EXPECT_TRUE(hit) << m.folder.toStdString() << m.name.toStdString();
      if (m.contiguous) {
        EXPECT_TRUE(written.contains(m.sha256)) << m.name.toStdString();
      }
      inDeletedFolders += m.folder.startsWith("/Trash folder/");
    }
    EXPECT_EQ(inDeletedFolders, 4);
    for (const Row& r : rows) EXPECT_NE(r.path, "C:\\") << r.name.toStdString();
  }
}

TEST_F(DeepScan, MaskAndNameSearch) {
  EXPECT_EQ(TypeListMask(0), "*.*");
  EXPECT_EQ(TypeListMask(6), "*.mp3");
  EXPECT_EQ(TypeListMask(11), "*.rar");
  EXPECT_TRUE(TypeListMask(12).isEmpty());

  const struct {
    const char* image;
    const char* fs;
  } volumes[] = {{"ntfs.img", "NTFS"}, {"fat16.img", "FAT"}};
  for (const auto& [name, fs] : volumes) {
    const QString image = Unpack(name);
    for (bool deep : {false, true}) {
      SCOPED_TRACE(std::string(name) + (deep ? " deep" : " quick"));
      UseDrive(image, fs);
      ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {deep, "*.jpg", {}}).end, ScanRunEnd::FilesFound);
      for (const Row& r : Rows(state_.Scan.Found)) EXPECT_TRUE(r.name.endsWith(".jpg", Qt::CaseInsensitive)) << r.name.toStdString();

      // A name replaces the mask.
      ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {deep, "*.jpg", "*eport*"}).end, ScanRunEnd::FilesFound);
      for (const Row& r : Rows(state_.Scan.Found)) EXPECT_TRUE(r.name.contains("EPORT", Qt::CaseInsensitive)) << r.name.toStdString();

      // A list is one pattern, which no name matches.
      const ScanRunResult none = AdvancedScanRun(state_, sink_, "C:", {deep, "*.doc,*.txt", {}});
      EXPECT_EQ(none.end, ScanRunEnd::NothingFound);
      EXPECT_EQ(none.message, "No deleted files were found matching this search criteria!");
    }
  }
  // An empty mask filters nothing.
  UseDrive(dir_.filePath("ntfs.img"), "NTFS");
  ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {false, "", {}}).end, ScanRunEnd::FilesFound);
  const int all = state_.Scan.Found.FoundCount;
  ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);
  EXPECT_EQ(all, state_.Scan.Found.FoundCount);
}

TEST_F(DeepScan, StopDuringTheFolderStepListsNoFile) {
  const QString image = Unpack("ntfs.img");
  UseDrive(image, "NTFS");
  // Count the pumps up to the third step, then stop just after it began.
  struct : test::RecordingSink {
    int stepThreePump = -1;
    void OnStep(int step) override {
      RecordingSink::OnStep(step);
      if (step == StepFindFolders && stepThreePump < 0) stepThreePump = pumps;
    }
  } finder;
  finder.Attach(state_.Run);
  ASSERT_EQ(AdvancedScanRun(state_, finder, "C:", {true, "*.*", {}}).end, ScanRunEnd::FilesFound);
  ASSERT_GT(finder.stepThreePump, 0);
  test::RecordingSink counter;
  counter.Attach(state_.Run);
  counter.stopAtPump = finder.stepThreePump + 3;
  const ScanRunResult r = AdvancedScanRun(state_, counter, "C:", {true, "*.*", {}});
  EXPECT_EQ(r.end, ScanRunEnd::NothingFound);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(std::count(counter.steps.begin(), counter.steps.end(), int(StepFindFiles)), 0);
  EXPECT_FALSE(state_.Run.Busy());
}

// On a volume with 4096-byte sectors the records are 4096 bytes: without the
// MFT's own record the deep scan reads their size from the records it finds.
TEST_F(DeepScan, NtfsRecordSizeComesFromTheRecordsFound) {
  if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse")) GTEST_SKIP() << "writing with ntfs-3g needs root and /dev/fuse";
  const QString image = dir_.filePath("n4k.img"), mnt = dir_.filePath("mnt"), payload = dir_.filePath("payload");
  ASSERT_TRUE(QDir().mkpath(mnt));
  ASSERT_TRUE(test::Shell(QString("truncate -s 64M '%1' && mkntfs -F -Q -s 4096 -c 4096 '%1' >/dev/null 2>&1 && "
                                  "head -c 20000 /dev/urandom > '%3' && ntfs-3g '%1' '%2' && cp '%3' '%2/gone.bin'; "
                                  "umount '%2' && ntfs-3g '%1' '%2' && rm '%2/gone.bin'; umount '%2'")
                              .arg(image, mnt, payload)));
  QFile f(image);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  const QByteArray boot = f.read(512);
  const qint64 cluster = qFromLittleEndian<quint16>(boot.constData() + 11) * quint8(boot[13]);
  ASSERT_EQ(cluster, 4096);
  ASSERT_TRUE(f.seek(qFromLittleEndian<qint64>(boot.constData() + 48) * cluster) &&
              f.write(QByteArray(4096, '\0')) == 4096);
  f.close();

  UseDrive(image, "NTFS");
  ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}}).end, ScanRunEnd::FilesFound);
  const auto rows = AllFoundRows(state_.Scan.Found);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "gone.bin");
  state_.Program.Config.SaveFolder = dir_.filePath("restored");
  ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
  EXPECT_EQ(test::RecoverAll(state_, sink_, rows).restored, 1);
  EXPECT_EQ(test::FileSha256(state_.Program.Config.SaveFolder + "/gone.bin"), test::FileSha256(payload));
}
