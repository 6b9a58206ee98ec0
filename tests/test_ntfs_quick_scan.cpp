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

struct Counting : ScanHooks {
  uint8_t* busy = nullptr;
  int pumps = 0, stopAt = -1, lastBar = -1;
  void Pump() override {
    if (++pumps == stopAt) *busy = 0;
  }
  void ShowBar(int w) override { lastBar = w; }
};

class NtfsQuickScan : public ::testing::Test {
 protected:
  void SetUp() override {
    image_ = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", dir_.path(), "ntfs.img");
    ASSERT_FALSE(image_.isEmpty());
    state_.Drives.drives.push_back(
        test::ImageDrive(image_, 0, uint64_t(QFileInfo(image_).size()), "C:", "NTFS", "fixture"));
    state_.Volume.DriveRoot = "C:";
    ASSERT_TRUE(ReadGeometryNTFS(state_.Volume, state_.Ntfs, dir_.filePath("Zantero.ini")));
    ASSERT_TRUE(ReadMFTExtents(state_.Volume, state_.Ntfs));
    state_.Found.ResetForScan();
    state_.Busy = 1;
    hooks_.busy = &state_.Busy;
  }
  QTemporaryDir dir_;
  QString image_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  Counting hooks_;
};

}  // namespace

TEST_F(NtfsQuickScan, FindsEveryListedDeletedFileInItsFolderWithItsSize) {
  NTFSFind1(state_, hooks_);
  const auto found = Everything(state_.Found);
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
    EXPECT_TRUE(state_.Found.FoundFiles.KeyExists("DOC", key)) << key;
  EXPECT_EQ(state_.Found.FoundCount, int(found.size()));
  EXPECT_EQ(hooks_.lastBar, 500);
}

TEST_F(NtfsQuickScan, MaskNarrowsAndStopKeepsWhatWasFound) {
  state_.NameMask = "*.JPG";
  NTFSFind1(state_, hooks_);
  const auto jpgs = Everything(state_.Found);
  ASSERT_FALSE(jpgs.empty());
  for (const Found& f : jpgs) EXPECT_TRUE(f.key.endsWith(".jpg", Qt::CaseInsensitive)) << f.key.toStdString();

  state_.NameMask = "*.*";
  state_.Found.ResetForScan();
  Counting all;
  all.busy = &state_.Busy;
  NTFSFind1(state_, all);
  const int total = state_.Found.FoundCount;

  // Stop half-way through the record walk.
  state_.Found.ResetForScan();
  state_.Busy = 1;
  hooks_.pumps = 0;
  hooks_.stopAt = all.pumps / 2;
  NTFSFind1(state_, hooks_);
  EXPECT_EQ(state_.Busy, 0);
  EXPECT_LT(state_.Found.FoundCount, total);
  EXPECT_EQ(hooks_.lastBar, 500);
}

TEST_F(NtfsQuickScan, DamagedRecordsAreSkippedNotFollowed) {
  // Damage every record of the first MFT extent on the volume: even records
  // point their first attribute past their end, odd ones get a zero length.
  const MftExtent first = state_.Ntfs.MFTExtents.front();
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
  NTFSFind1(state_, hooks_);
  EXPECT_EQ(state_.Found.FoundCount, 0);
  EXPECT_EQ(hooks_.lastBar, 500);
}

TEST_F(NtfsQuickScan, RestoredFilesMatchTheManifestByteForByte) {
  NTFSFind1(state_, hooks_);
  const auto found = Everything(state_.Found);
  const QString save = dir_.filePath("Restored Files");
  const QByteArray imageBefore = test::Run("sha256sum", {image_}).out.left(64);
  int restored = 0;
  for (const ManifestRow& row : ReadManifest(test::SourceDir() + "/tests/data/ntfs.img.manifest.tsv")) {
    if (!ListedName(row.name) || row.reused || row.size == 0) continue;
    const auto hit = FindRow(found, row);
    ASSERT_NE(hit, found.end()) << row.name.toStdString();
    QString written;
    ASSERT_TRUE(RestoreFileNTFS(state_.Volume, state_.Ntfs, hit->key, hit->value, save, state_.Busy, hooks_, &written))
        << row.name.toStdString();
    EXPECT_EQ(test::FileSha256(written), row.sha256)
        << row.folder.toStdString() << row.name.toStdString();
    ++restored;
  }
  EXPECT_GT(restored, 15);
  EXPECT_EQ(test::Run("sha256sum", {image_}).out.left(64), imageBefore) << "the volume is never written";
  // Restoring the same file again never replaces the first copy.
  const Found& first = found.front();
  QString again;
  ASSERT_TRUE(RestoreFileNTFS(state_.Volume, state_.Ntfs, first.key, first.value, save, state_.Busy, hooks_, &again));
  EXPECT_TRUE(again.contains("(1)")) << again.toStdString();
  EXPECT_FALSE(RestoreFileNTFS(state_.Volume, state_.Ntfs, first.key, "0#C:\\#d#5", save, state_.Busy, hooks_));
  EXPECT_FALSE(RestoreFileNTFS(state_.Volume, state_.Ntfs, first.key, "99999999999#C:\\#d#5", save, state_.Busy, hooks_));
}
