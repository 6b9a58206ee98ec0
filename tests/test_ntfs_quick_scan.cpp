// The NTFS quick scan on a volume made by mkntfs and ntfs-3g, checked against
// the fixture's manifest of deleted files.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "found/DataItem.h"
#include "found/EntryValue.h"
#include "ntfs/MftExtents.h"
#include "ntfs/NTFSFind1.h"
#include "ntfs/RestoreFileNTFS.h"
#include "volume/NtfsGeometry.h"

using namespace undelvo;

namespace {

using test::ManifestRow;
using test::ReadManifest;

struct Found {
  QString key, path;
  int64_t size;
  QString value;
};

std::vector<Found> Everything(const FoundState& s) {
  std::vector<Found> all;
  QStringList sections, keys;
  s.FoundFiles.ReadSectionNames(sections);
  for (const QString& section : sections) {
    s.FoundFiles.ReadKeys(section, keys);
    for (const QString& k : keys) {
      const EntryValue e = ParseEntryValue(s.FoundFiles.Read(section, k));
      all.push_back({k, e.path, e.size, s.FoundFiles.Read(section, k)});
    }
  }
  for (const QString& line : s.OtherFiles) {
    const EntryValue e = ParseEntryValue(OtherFilesValue(line));
    all.push_back({OtherFilesName(line), e.path, e.size, OtherFilesValue(line)});
  }
  return all;
}

// Whether the scan lists a deleted file of this name at all.
bool ListedName(const QString& name) {
  return !name.startsWith('$') && name.contains('.') && !name.contains(".tmp");
}

// The scan's entry for a manifest row: same folder and size, and its name
// (without its first "=") as the key or made unique as name(n).ext.
std::vector<Found>::const_iterator FindRow(const std::vector<Found>& found, const ManifestRow& row) {
  QString name = row.name;
  if (name.contains('=')) name.remove(name.indexOf('='), 1);
  const QString path = "C:" + QString(row.folder).replace('/', '\\');
  const qsizetype dot = name.lastIndexOf('.');
  const QRegularExpression key("^" + QRegularExpression::escape(name.left(dot)) + "(\\(\\d+\\))?" +
                               QRegularExpression::escape(name.mid(dot)) + "$");
  return std::find_if(found.begin(), found.end(), [&](const Found& f) {
    return key.match(f.key).hasMatch() && f.path == path && f.size == row.size;
  });
}

class NtfsQuickScan : public ::testing::Test {
 protected:
  void SetUp() override {
    image_ = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", dir_.path(), "ntfs.img");
    ASSERT_FALSE(image_.isEmpty());
    state_.Program.Drives.drives.push_back(
        test::ImageDrive(image_, 0, uint64_t(QFileInfo(image_).size()), "C:", "NTFS", "fixture"));
    state_.Scan.Volume.DriveRoot = "C:";
    ASSERT_TRUE(ReadGeometryNTFS(state_.Scan.Volume, state_.Scan.Ntfs, dir_.filePath("Zantero.ini")));
    ASSERT_TRUE(ReadMFTExtents(state_.Scan.Volume, state_.Scan.Ntfs));
    state_.Scan.Found.ResetForScan();
    state_.Run.Begin();
    hooks_.Attach(state_.Run);
  }
  void Find() {
    ScanState& scan = state_.Scan;
    NTFSFind1(scan.Volume, scan.Ntfs, scan.Found, scan.NameMask, state_.Run, hooks_);
  }
  QTemporaryDir dir_;
  QString image_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink hooks_;
};

}  // namespace

TEST_F(NtfsQuickScan, FindsEveryListedDeletedFileInItsFolderWithItsSize) {
  Find();
  const auto found = Everything(state_.Scan.Found);
  const auto manifest = ReadManifest(test::SourceDir() + "/tests/data/ntfs.img.manifest.tsv");
  ASSERT_FALSE(manifest.empty());
  int expected = 0;
  for (const ManifestRow& row : manifest) {
    if (!ListedName(row.name) || row.reused) continue;
    ++expected;
    const bool hit = FindRow(found, row) != found.end();
    EXPECT_TRUE(hit) << row.folder.toStdString() << row.name.toStdString() << " " << row.size;
  }
  EXPECT_GT(expected, 15);
  for (const Found& f : found) {
    EXPECT_FALSE(f.key.startsWith('$')) << f.key.toStdString();
    EXPECT_FALSE(f.key.contains(".tmp")) << f.key.toStdString();
  }
  for (const char* key : {"REPORT.DOC", "REPORT(1).DOC", "REPORT(2).DOC"})
    EXPECT_TRUE(state_.Scan.Found.FoundFiles.KeyExists("DOC", key)) << key;
  EXPECT_EQ(state_.Scan.Found.FoundCount, int(found.size()));
  EXPECT_EQ(hooks_.percents.back(), 99) << "the walk reached the MFT's last record";
}

TEST_F(NtfsQuickScan, MaskNarrowsAndStopKeepsWhatWasFound) {
  state_.Scan.NameMask = "*.JPG";
  Find();
  const auto jpgs = Everything(state_.Scan.Found);
  ASSERT_FALSE(jpgs.empty());
  for (const Found& f : jpgs) EXPECT_TRUE(f.key.endsWith(".jpg", Qt::CaseInsensitive)) << f.key.toStdString();

  state_.Scan.NameMask = "*.*";
  state_.Scan.Found.ResetForScan();
  hooks_.pumps = 0;
  Find();
  const int total = state_.Scan.Found.FoundCount;
  const int allPumps = hooks_.pumps;

  // Stop half-way through the record walk.
  state_.Scan.Found.ResetForScan();
  hooks_.pumps = 0;
  hooks_.percents.clear();
  hooks_.stopAtPump = allPumps / 2;
  Find();
  EXPECT_FALSE(state_.Run.Busy());
  EXPECT_TRUE(state_.Run.Stopped());
  EXPECT_LT(state_.Scan.Found.FoundCount, total);
  EXPECT_LT(hooks_.percents.back(), 99);
}

TEST_F(NtfsQuickScan, DamagedRecordsAreSkippedNotFollowed) {
  // Damage every record of the first MFT extent on the volume: even records
  // point their first attribute past their end, odd ones get a zero length.
  const ClusterExtent first = state_.Scan.Ntfs.MFTExtents.front();
  QFile f(image_);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  for (int64_t k = 0; k < first.length * 4; ++k) {
    const qint64 at = first.start * 4096 + k * 1024;
    f.seek(at + 20);
    const QByteArray field = f.read(2);
    const int attribute = uchar(field[0]) | (uchar(field[1]) << 8);
    if (k < 16) continue;  // keep the system records: the geometry and extents still read
    if (k % 2 == 0) {
      f.seek(at + 20);
      f.write(QByteArray("\xF0\x03", 2));
    } else {
      f.seek(at + attribute + 4);
      f.write(QByteArray(4, '\0'));
    }
  }
  f.close();
  Find();
  EXPECT_EQ(state_.Scan.Found.FoundCount, 0);
  EXPECT_EQ(hooks_.percents.back(), 99) << "the walk reached the MFT's last record";
}

TEST_F(NtfsQuickScan, RestoredFilesMatchTheManifestByteForByte) {
  Find();
  const auto found = Everything(state_.Scan.Found);
  const QString save = dir_.filePath("Restored Files");
  const QByteArray imageBefore = test::Run("sha256sum", {image_}).out.left(64);
  int restored = 0;
  for (const ManifestRow& row : ReadManifest(test::SourceDir() + "/tests/data/ntfs.img.manifest.tsv")) {
    if (!ListedName(row.name) || row.reused || row.size == 0) continue;
    const auto hit = FindRow(found, row);
    ASSERT_NE(hit, found.end()) << row.name.toStdString();
    const RestoreOutcome written =
        RestoreFileNTFS(state_.Scan.Volume, state_.Scan.Ntfs, hit->value, {save, hit->key}, state_.Run);
    ASSERT_TRUE(written.Written()) << row.name.toStdString();
    EXPECT_EQ(written.bytes, row.size);
    EXPECT_EQ(test::FileSha256(written.path), row.sha256)
        << row.folder.toStdString() << row.name.toStdString();
    ++restored;
  }
  EXPECT_GT(restored, 15);
  EXPECT_EQ(test::Run("sha256sum", {image_}).out.left(64), imageBefore) << "the volume is never written";
  // Restoring the same file again never replaces the first copy.
  const Found& first = found.front();
  const RestoreOutcome again =
      RestoreFileNTFS(state_.Scan.Volume, state_.Scan.Ntfs, first.value, {save, first.key}, state_.Run);
  ASSERT_TRUE(again.Written());
  EXPECT_TRUE(again.path.contains("(1)")) << again.path.toStdString();
  EXPECT_FALSE(RestoreFileNTFS(state_.Scan.Volume, state_.Scan.Ntfs, "0#C:\\#d#5", {save, first.key}, state_.Run).Written());
  EXPECT_FALSE(
      RestoreFileNTFS(state_.Scan.Volume, state_.Scan.Ntfs, "99999999999#C:\\#d#5", {save, first.key}, state_.Run).Written());
}
