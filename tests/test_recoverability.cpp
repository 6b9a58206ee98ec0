// The recoverability state of found files: how it is told from cluster
// counts and from the clusters other found files claim, and on the
// tool-made fixtures against what each file restores to and against The
// Sleuth Kit's view of the NTFS cluster bitmap.
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "found/Recoverability.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

Recoverability State(RecoverState s, int percent) { return {s, percent}; }

FileClusters Clusters(int64_t needed, int64_t intact, std::vector<ClusterExtent> extents, uint64_t written) {
  FileClusters c;
  c.mapped = true;
  c.needed = needed;
  c.intact = intact;
  c.extents = std::move(extents);
  c.written = written;
  return c;
}

}  // namespace

TEST(Recoverability, StatesFromClusterCounts) {
  const struct {
    int64_t intact, total;
    Recoverability state;
  } cases[] = {
      {4, 4, State(RecoverState::Good, 100)},
      {0, 0, State(RecoverState::Good, 100)},  // nothing to read: an empty file
      {0, 4, State(RecoverState::Overwritten, 0)},
      {1, 2, State(RecoverState::Partial, 50)},
      {999, 1000, State(RecoverState::Partial, 99)},  // never shown as 100 % beside good
      {1, 1000, State(RecoverState::Partial, 1)},     // nor as 0 % beside overwritten
  };
  for (const auto& c : cases) EXPECT_EQ(RecoverabilityFromClusters(c.intact, c.total), c.state) << c.intact << "/" << c.total;

  RecoverState s{};
  EXPECT_TRUE(ParseRecoverStateName("Overwritten", s));
  EXPECT_EQ(s, RecoverState::Overwritten);
  EXPECT_FALSE(ParseRecoverStateName("fine", s));
}

TEST(Recoverability, AFileLosesTheClustersAFoundFileWrittenLaterClaims) {
  const struct {
    const char* what;
    std::vector<FileClusters> files;
    std::vector<Recoverability> states;
  } cases[] = {
      {"apart", {Clusters(2, 2, {{10, 2}}, 5), Clusters(2, 2, {{12, 2}}, 6)},
       {GoodState(), GoodState()}},
      {"the later file holds the shared clusters", {Clusters(4, 4, {{10, 4}}, 5), Clusters(4, 4, {{12, 4}}, 9)},
       {State(RecoverState::Partial, 50), GoodState()}},
      {"in either order", {Clusters(2, 2, {{12, 2}}, 9), Clusters(4, 4, {{10, 4}}, 5)},
       {GoodState(), State(RecoverState::Partial, 50)}},
      {"equal times: either may hold them", {Clusters(2, 2, {{10, 2}}, 7), Clusters(14, 14, {{10, 14}}, 7)},
       {State(RecoverState::Overwritten, 0), State(RecoverState::Partial, 85)}},
      {"the same file found twice", {Clusters(3, 3, {{10, 3}}, 7), Clusters(3, 3, {{10, 3}}, 7)},
       {GoodState(), GoodState()}},
      {"clusters a live file holds already count", {Clusters(4, 2, {{10, 4}}, 5), Clusters(4, 4, {{12, 4}}, 9)},
       {State(RecoverState::Overwritten, 0), GoodState()}},
      {"no map, and nothing to read", {FileClusters{}, Clusters(0, 0, {}, 0)},
       {Recoverability{}, GoodState()}},
  };
  for (const auto& c : cases) EXPECT_EQ(StatesFromClusters(c.files), c.states) << c.what;
}

namespace {

struct FixtureCase {
  const char* image;
  const char* fs;
  uint64_t offset;
  bool deep;
};

class FixtureStates : public ::testing::TestWithParam<FixtureCase> {
 protected:
  void SetUp() override {
    image_ = test::Unpack(test::SourceDir() + "/tests/data/" + GetParam().image + ".gz", dir_.path(), GetParam().image);
    ASSERT_FALSE(image_.isEmpty());
    const uint64_t offset = GetParam().offset;
    state_.Program.Drives.drives = {test::ImageDrive(image_, offset, uint64_t(QFileInfo(image_).size()) - offset, "C:",
                                                     GetParam().fs, image_)};
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
    const ScanRunResult r = GetParam().deep ? AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}})
                                            : QuickScanRun(state_, sink_, "C:");
    ASSERT_EQ(r.end, ScanRunEnd::FilesFound);
  }
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
  QString image_;
};

// The manifest's row of a found file: the same name, folder and size.
const test::ManifestRow* ManifestRowOf(const std::vector<test::ManifestRow>& manifest, const FoundRow& row) {
  const EntryValue e = ParseEntryValue(row.value);
  const QString name = QString(row.name).remove(QRegularExpression(QStringLiteral("\\(\\d+\\)(?=\\.[^.]*$|$)")));
  for (const test::ManifestRow& m : manifest)
    if (m.size == e.size && test::SameFoundFolder(e.path, m.folder) && test::SameFoundName(name, m.name)) return &m;
  return nullptr;
}

}  // namespace

// A file that reads good restores with the bytes it had; a file that
// restores exactly reads good, save where two deleted files of the same write
// time claim the same clusters (the FAT fixtures stamp every file alike, so
// the one written later cannot be told and both are said to be at risk).
TEST_P(FixtureStates, GoodMeansExactBytes) {
  const auto manifest = test::ReadManifest(test::SourceDir() + "/tests/data/" + GetParam().image + ".manifest.tsv");
  state_.Program.Config.SaveFolder = dir_.filePath("restored");
  const std::vector<FoundRow> rows = AllFoundRows(state_.Scan.Found);
  const RecoverRunResult result = test::RecoverAll(state_, sink_, rows);
  int good = 0, notGood = 0;
  std::map<RecoverState, int> states;
  for (const RecoveredRow& r : result.rows) {
    ++states[r.state.state];
    const test::ManifestRow* m = ManifestRowOf(manifest, rows[r.row]);
    if (m == nullptr || !r.outcome.Written()) continue;
    const bool exact = test::FileSha256(r.outcome.path) == m->sha256;
    const std::string what = rows[r.row].name.toStdString() + " " + RecoverStateName(r.state.state).toStdString();
    if (r.state.state == RecoverState::Good) {
      ++good;
      EXPECT_TRUE(exact) << what;
    } else {
      ++notGood;
      EXPECT_TRUE(!exact || (QString(GetParam().fs).startsWith("FAT") && m->name == "movie.avi")) << what;
    }
    EXPECT_EQ(bool(m->reused), r.state.state != RecoverState::Good && m->name != "movie.avi") << what;
  }
  EXPECT_GT(good, 8);
  EXPECT_GT(notGood, 0);
  EXPECT_EQ(states[RecoverState::Unknown], 0);
  EXPECT_EQ(result.mayBeDamaged, notGood);
}

// The files the fixtures write over after deleting them, with the share a
// restore still finds intact.
TEST_P(FixtureStates, FilesWrittenOverReadOverwrittenOrPartial) {
  const struct {
    const char* image;
    const char* name;
    Recoverability state;
  } cases[] = {
      {"fat16.img", "Reused notes.txt", State(RecoverState::Overwritten, 0)},
      {"fat16.img", "\u00f5LDLOG.TXT", State(RecoverState::Partial, 50)},    // 1 of 2 clusters taken
      {"fat32-mbr.img", "\u00f5LDLOG.TXT", State(RecoverState::Partial, 83)},  // 1 of 6
      {"fat32-mbr.img", "\u00f5HUNK04.BIN", State(RecoverState::Overwritten, 0)},  // by a file deleted since
      {"ntfs.img", "Reused notes.txt", State(RecoverState::Partial, 50)},
      {"ntfs.img", "Gr\u00fc\u00dfe.txt", GoodState()},
  };
  int checked = 0;
  for (const auto& c : cases) {
    if (QString(c.image) != GetParam().image) continue;
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found)) {
      if (row.name != QString::fromUtf8(c.name)) continue;
      EXPECT_EQ(StateOf(state_.Scan.Found.States, row.value), c.state) << c.name;
      ++checked;
    }
  }
  // The FAT deep scan reads folders only, and lists nothing of the root.
  if (!GetParam().deep || QString(GetParam().fs) == "NTFS") {
    EXPECT_GE(checked, 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureStates,
                         ::testing::Values(FixtureCase{"ntfs.img", "NTFS", 0, false},
                                           FixtureCase{"ntfs.img", "NTFS", 0, true},
                                           FixtureCase{"fat16.img", "FAT", 0, false},
                                           FixtureCase{"fat16.img", "FAT", 0, true},
                                           FixtureCase{"fat32-mbr.img", "FAT32", 2048 * 512, false},
                                           FixtureCase{"fat32-mbr.img", "FAT32", 2048 * 512, true}),
                         [](const ::testing::TestParamInfo<FixtureCase>& info) {
                           return QString(info.param.image).section('.', 0, 0).remove('-').toStdString() +
                                  (info.param.deep ? "_deep" : "_quick");
                         });

// On NTFS the share of intact clusters is the one The Sleuth Kit reads off
// the same bitmap: istat's clusters of each found file's record, blkls's
// allocation of each.
TEST(RecoverabilityOnNtfs, SharesMatchTheSleuthKit) {
  QTemporaryDir dir;
  const QString image = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", dir.path(), "ntfs.img");
  UndelvoState state{dir.filePath("registry.reg")};
  state.Program.Drives.drives = {test::ImageDrive(image, 0, uint64_t(QFileInfo(image).size()), "C:", "NTFS", image)};
  state.Program.GeometryCacheFile = dir.filePath("Zantero.ini");
  test::RecordingSink sink;
  ASSERT_EQ(QuickScanRun(state, sink, "C:").end, ScanRunEnd::FilesFound);

  const auto blkls = test::Run("blkls", {"-l", "-e", image});
  if (blkls.exitCode != 0) GTEST_SKIP() << "blkls missing (package sleuthkit)";
  QSet<qint64> allocated;
  for (const QByteArray& line : blkls.out.split('\n'))
    if (line.endsWith("|a")) allocated.insert(line.left(line.indexOf('|')).toLongLong());

  int compared = 0, partial = 0;
  for (const FoundRow& row : AllFoundRows(state.Scan.Found)) {
    const EntryValue e = ParseEntryValue(row.value);
    if (e.IsRecycleBin() || e.size == 0) continue;
    const auto istat = test::Run("istat", {image, QString::number(e.locator / state.Scan.Ntfs.MFTRecordSize)});
    ASSERT_EQ(istat.exitCode, 0);
    // The clusters follow the non-resident unnamed data attribute's line.
    const QString text = QString::fromUtf8(istat.out);
    const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("Type: \\$DATA \\(128-\\d+\\)\\s+Name: N/A\\s+Non-Resident")));
    if (at < 0) continue;  // resident data: always good
    int64_t total = 0, intact = 0;
    for (const QString& line : text.mid(at).split('\n').mid(1)) {
      if (line.trimmed().isEmpty() || line.startsWith("Type:")) break;
      for (const QString& n : line.split(' ', Qt::SkipEmptyParts)) {
        ++total;
        intact += !allocated.contains(n.toLongLong());
      }
    }
    const Recoverability ours = StateOf(state.Scan.Found.States, row.value);
    EXPECT_EQ(ours, RecoverabilityFromClusters(intact, total)) << row.name.toStdString();
    ++compared;
    partial += ours.state == RecoverState::Partial;
  }
  EXPECT_GT(compared, 5);
  EXPECT_GE(partial, 1);  // "Reused notes.txt": its first cluster went to a later file
}
