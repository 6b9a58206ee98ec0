// NTFS volumes made by mkntfs and written through ntfs-3g: deleted files whose
// folder's record now holds another folder, and the deep scan on clusters
// smaller than, as large as and larger than a record.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"

using namespace undelvo;

namespace {

class NtfsToolVolume : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse")) GTEST_SKIP() << "writing with ntfs-3g needs root and /dev/fuse";
    ASSERT_TRUE(QDir().mkpath(Mount()));
  }
  QString Mount() const { return dir_.filePath("mnt"); }

  // A fresh volume of `megabytes` MiB with clusters of `cluster` bytes.
  bool Format(const QString& image, int cluster, int megabytes) {
    return test::Shell(QString("rm -f '%1' && truncate -s %2M '%1' && mkntfs -F -Q -c %3 '%1' >/dev/null 2>&1")
                           .arg(image).arg(megabytes).arg(cluster));
  }
  // Runs `commands` inside the mounted volume; each call is one mount, so
  // what it writes is on the image when the next call begins.
  bool Mounted(const QString& image, const QString& commands) {
    return test::Shell(QString("ntfs-3g '%1' '%2' || exit 1; (cd '%2' && %3); rc=$?; umount '%2' && exit $rc")
                           .arg(image, Mount(), commands));
  }
  // The record number ifind gives for a path, -1 when it finds none.
  static int RecordOf(const QString& image, const QString& path) {
    const auto r = test::Run("ifind", {"-n", path, image});
    bool ok = false;
    const int record = r.out.trimmed().toInt(&ok);
    return r.exitCode == 0 && ok ? record : -1;
  }
  // Each image is drive C: with a geometry cache of its own, as the cache
  // keeps one geometry per drive letter.
  void UseDrive(const QString& image) {
    state_.Program.Drives.drives = {test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", "NTFS", image)};
    state_.Program.GeometryCacheFile = image + ".ini";
  }
  // Zeroes MFT record 0, so the deep scan has no map of the MFT.
  static bool DestroyMftRecord0(const QString& image) {
    QFile f(image);
    if (!f.open(QIODevice::ReadWrite)) return false;
    const QByteArray boot = f.read(512);
    const qint64 cluster = qFromLittleEndian<quint16>(boot.constData() + 11) * quint8(boot[13]);
    return f.seek(qFromLittleEndian<qint64>(boot.constData() + 48) * cluster) && f.write(QByteArray(1024, '\0')) == 1024;
  }
  std::vector<std::pair<QString, QString>> NamesAndPaths() const {
    std::vector<std::pair<QString, QString>> rows;
    for (const FoundRow& r : AllFoundRows(state_.Scan.Found)) rows.emplace_back(r.name, ParseEntryValue(r.value).path);
    return rows;
  }

  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
};

}  // namespace

// A deleted file keeps its folder's reference, record number and sequence
// number. Once the folder is deleted and its record holds a new folder, the
// sequence numbers differ and the file sits under "??\", never under the new
// folder; a deleted folder whose record is still free stays in the path.
TEST_F(NtfsToolVolume, FolderRecordReusedByAnotherFolderGivesAnOrphanPath) {
  const struct {
    const char* folders;  // under the root; plan.txt lies in the innermost
    const char* deleted;  // removed innermost first, so Alpha's record is the lowest free one
    const char* path;     // where both scans list plan.txt
  } cases[] = {
      {"Projects/Alpha", "Projects/Alpha", "C:\\??\\"},
      {"Projects/Alpha/Beta", "Projects/Alpha/Beta Projects/Alpha", "C:\\??\\Beta\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folders);
    const QString image = dir_.filePath("reused.img");
    ASSERT_TRUE(Format(image, 4096, 64));
    ASSERT_TRUE(Mounted(image, QString("mkdir -p %1 && head -c 5000 /dev/urandom > %1/plan.txt").arg(c.folders)));
    const int alpha = RecordOf(image, "/Projects/Alpha");
    const int plan = RecordOf(image, QString("/%1/plan.txt").arg(c.folders));
    ASSERT_GT(alpha, 0);
    ASSERT_TRUE(Mounted(image, QString("rm %1/plan.txt").arg(c.folders)));
    ASSERT_TRUE(Mounted(image, QString("rmdir %1").arg(c.deleted)));
    ASSERT_TRUE(Mounted(image, "mkdir Other"));
    ASSERT_EQ(RecordOf(image, "/Other"), alpha) << "the new folder must take Alpha's record";

    // The Sleuth Kit sees the same: plan.txt's record is intact and has no folder.
    const auto fls = test::Run("fls", {"-r", "-p", "-d", image});
    ASSERT_EQ(fls.exitCode, 0);
    EXPECT_TRUE(fls.out.contains(QString("* %1-128-").arg(plan).toLatin1())) << fls.out.toStdString();
    EXPECT_FALSE(fls.out.contains("Other/")) << fls.out.toStdString();

    UseDrive(image);
    for (bool deep : {false, true}) {
      SCOPED_TRACE(deep ? "deep" : "quick");
      ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {deep, "*.*", {}}).end, ScanRunEnd::FilesFound);
      const auto rows = NamesAndPaths();
      const auto it = std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r.first == "plan.txt"; });
      ASSERT_NE(it, rows.end());
      EXPECT_EQ(it->second.toStdString(), c.path);
      for (const auto& [name, path] : rows) EXPECT_FALSE(path.startsWith("C:\\Other")) << name.toStdString();
    }
  }
}

// 40 deleted files, none resident, on each cluster size, with the MFT's own
// record destroyed: the deep scan finds the MFT zones by probing, and must
// count a cluster that lies inside a record (the second half of a 1 KiB
// record on 512-byte clusters) as part of its zone.
TEST_F(NtfsToolVolume, DeepScanFindsEveryRecordOnEveryClusterSize) {
  constexpr int kFiles = 40;
  const QString payload = dir_.filePath("payload");
  ASSERT_TRUE(test::Shell(QString("mkdir -p '%1' && cd '%1' && for i in $(seq 10 %2); do "
                                  "head -c $((1500 + 997 * i)) /dev/urandom > f$i.bin; done")
                              .arg(payload).arg(9 + kFiles)));
  QSet<QByteArray> expected;
  QStringList names = QDir(payload).entryList(QDir::Files);
  ASSERT_EQ(names.size(), kFiles);
  for (const QString& n : names) expected.insert(test::FileSha256(payload + "/" + n));

  const struct {
    int cluster, megabytes;
    // On 64 KiB clusters the cluster of the destroyed record 0 holds records
    // 0 to 63 and is not probed as a record; the zone read begins with the
    // first deleted file, at buffer offset 0, which is restored like any other.
    bool restoresAll;
  } volumes[] = {{512, 64, true}, {1024, 64, true}, {2048, 64, true}, {4096, 64, true}, {65536, 256, true}};
  for (const auto& [cluster, megabytes, restoresAll] : volumes) {
    SCOPED_TRACE(cluster);
    const QString image = dir_.filePath(QString("c%1.img").arg(cluster));
    ASSERT_TRUE(Format(image, cluster, megabytes));
    ASSERT_TRUE(Mounted(image, QString("cp '%1'/*.bin .").arg(payload)));
    ASSERT_TRUE(Mounted(image, "rm *.bin"));

    // The Sleuth Kit, while the MFT's record 0 is whole: each deleted file it
    // lists (fls -d leaves out the MFT's last record) is one of ours, and icat
    // gives its content.
    const auto fls = test::Run("fls", {"-d", image});
    ASSERT_EQ(fls.exitCode, 0);
    const QStringList lines = QString::fromLatin1(fls.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), kFiles / 2);
    for (const QString& line : lines) {
      EXPECT_TRUE(names.contains(line.section('\t', 1))) << line.toStdString();
      const QString inode = line.section(':', 0, 0).section(' ', -1).section('-', 0, 0);
      const auto icat = test::Run("icat", {image, inode});
      EXPECT_TRUE(icat.exitCode == 0 && expected.contains(QCryptographicHash::hash(icat.out, QCryptographicHash::Sha256).toHex()))
          << line.toStdString();
    }

    ASSERT_TRUE(DestroyMftRecord0(image));
    UseDrive(image);
    ASSERT_EQ(AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}}).end, ScanRunEnd::FilesFound);
    const auto rows = NamesAndPaths();
    for (const QString& n : names) {
      EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const auto& r) { return r.first == n; }), 1) << n.toStdString();
    }
    // They lay in the root, found or not among the records read.
    for (const auto& r : rows) EXPECT_EQ(r.second.toStdString(), "C:\\") << r.first.toStdString();
    state_.Program.Config.SaveFolder = dir_.filePath(QString("restored-%1").arg(cluster));
    ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
    test::RecoverAll(state_, sink_, AllFoundRows(state_.Scan.Found));
    QSet<QByteArray> written;
    for (const QString& f : QDir(state_.Program.Config.SaveFolder).entryList(QDir::Files))
      written.insert(test::FileSha256(state_.Program.Config.SaveFolder + "/" + f));
    EXPECT_EQ(written.size(), restoresAll ? kFiles : kFiles - 1);
    for (const QByteArray& sha : written) EXPECT_TRUE(expected.contains(sha)) << sha.toStdString();
  }
}
