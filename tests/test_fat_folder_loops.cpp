// FAT folders whose chains cross-link, written into the fixtures: a long run
// of clusters, each holding "." and ".." entries (so the deep scan takes each
// for the start of a folder), folder entries that lead back into the run and
// one deleted file. Both scans run as undelvo-cli processes: each must end
// promptly, examine no more entries than the volume has room for, find each
// of the run's files once, and list the fixture's own files as on the
// untouched image. And the deep scan, which names folders from the folders it
// has read, still names one whose parent lies further on the volume.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

#include "TestSupport.h"

using namespace undelvo;
using test::PutLE;

namespace {

const QString kDeletedMark = QString(QChar(0xF5));  // how the scan shows a deleted short name's first letter

uint32_t LE(const QByteArray& b, qsizetype at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
  return v;
}

QByteArray Entry(const QByteArray& name11, uint8_t attributes, uint32_t cluster, uint32_t size = 0) {
  return test::FatDirEntry(name11, attributes, cluster, size);
}

// How the run of clusters hangs together.
enum class Shape {
  Chain,     // linked in the table one after another; each ".." leads to the cluster before
  Ring,      // the same, the last cluster linked back to the first, the first's ".." to the last
  Unlinked,  // free in the table: each cluster a folder of its own to the deep scan
};

// A FAT volume image (whole, or in a partition at `offset`), its layout read
// from the boot sector, edited in memory and written back.
class FatImage {
 public:
  FatImage(const QString& path, qint64 offset) : path_(path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    bytes_ = f.readAll();
    const qsizetype b = offset;
    bytesPerSector_ = LE(bytes_, b + 11, 2);
    sectorsPerCluster_ = uint8_t(bytes_[b + 13]);
    const uint32_t reserved = LE(bytes_, b + 14, 2);
    fats_ = uint8_t(bytes_[b + 16]);
    rootEntries_ = LE(bytes_, b + 17, 2);
    const uint32_t sectors = LE(bytes_, b + 19, 2) ? LE(bytes_, b + 19, 2) : LE(bytes_, b + 32, 4);
    fat32_ = LE(bytes_, b + 22, 2) == 0;
    sectorsPerFat_ = fat32_ ? LE(bytes_, b + 36, 4) : LE(bytes_, b + 22, 2);
    rootCluster_ = fat32_ ? LE(bytes_, b + 44, 4) : 0;
    fatStart_ = offset + qint64(reserved) * bytesPerSector_;
    rootStart_ = fatStart_ + qint64(fats_) * sectorsPerFat_ * bytesPerSector_;
    const uint32_t rootSectors = (rootEntries_ * 32 + bytesPerSector_ - 1) / bytesPerSector_;
    dataStart_ = rootStart_ + qint64(rootSectors) * bytesPerSector_;
    clusters_ = (sectors - reserved - fats_ * sectorsPerFat_ - rootSectors) / sectorsPerCluster_;
  }
  bool ok() const { return !bytes_.isEmpty() && clusters_ > 0; }
  qint64 ClusterBytes() const { return qint64(bytesPerSector_) * sectorsPerCluster_; }
  // Every directory entry the volume has room for: its clusters' and the fixed root's.
  qint64 EntryRoom() const { return clusters_ * ClusterBytes() / 32 + rootEntries_; }

  // The highest `n` clusters that are free in the table and hold only zeros
  // (never written: no deleted file's data or folder is lost), lowest first.
  std::vector<uint32_t> UnusedClusters(int n) const {
    std::vector<uint32_t> found;
    const QByteArray zeros(ClusterBytes(), '\0');
    for (uint32_t c = clusters_ + 1; c >= 2 && int(found.size()) < n; --c)
      if (Next(c) == 0 && bytes_.mid(ClusterAt(c), ClusterBytes()) == zeros) found.insert(found.begin(), c);
    return found;
  }
  uint32_t Next(uint32_t c) const {
    return fat32_ ? LE(bytes_, fatStart_ + c * 4, 4) & 0x0FFFFFFF : LE(bytes_, fatStart_ + c * 2, 2);
  }
  void Link(uint32_t c, uint32_t next) {
    for (uint32_t copy = 0; copy < fats_; ++copy) {
      const qint64 table = fatStart_ + qint64(copy) * sectorsPerFat_ * bytesPerSector_;
      PutLE(bytes_, table + c * (fat32_ ? 4 : 2), next, fat32_ ? 4 : 2);
    }
  }
  uint32_t EndOfChain() const { return fat32_ ? 0x0FFFFFFF : 0xFFFF; }
  void Put(qint64 at, const QByteArray& data) { bytes_.replace(at, data.size(), data); }
  qint64 ClusterAt(uint32_t c) const { return dataStart_ + qint64(c - 2) * ClusterBytes(); }

  // Writes `entry` into the root's first unused slot, before its end.
  bool AddToRoot(const QByteArray& entry) {
    std::vector<qint64> places;
    if (fat32_) {
      for (uint32_t c = rootCluster_; c >= 2 && c <= clusters_ + 1 && places.size() < 65536; c = Next(c))
        for (qint64 s = 0; s < ClusterBytes(); s += 32) places.push_back(ClusterAt(c) + s);
    } else {
      for (uint32_t s = 0; s < rootEntries_; ++s) places.push_back(rootStart_ + s * 32);
    }
    for (size_t i = 0; i + 1 < places.size(); ++i)
      if (bytes_[places[i]] == 0) {
        Put(places[i], entry);
        return true;
      }
    return false;
  }

  bool Save() const {
    QFile f(path_);
    return f.open(QIODevice::WriteOnly) && f.write(bytes_) == bytes_.size();
  }

 private:
  QString path_;
  QByteArray bytes_;
  uint32_t bytesPerSector_ = 0, sectorsPerCluster_ = 0, fats_ = 0, rootEntries_ = 0, sectorsPerFat_ = 0;
  uint32_t rootCluster_ = 0;
  bool fat32_ = false;
  qint64 fatStart_ = 0, rootStart_ = 0, dataStart_ = 0, clusters_ = 0;
};

// The deleted file written into the run's cluster `i`.
QString RunFileName(int i) { return kDeletedMark + QString("IL%1.TXT").arg(i, 5, 10, QChar('0')); }

// Writes the run of `n` clusters into `image`, reachable from a root folder
// LOOP: cluster i holds "." (itself), ".." (the cluster before; the root for
// the first), folder entries that fill the cluster up to its last entry and
// lead into the run (the first to the next cluster, the others spread over
// all of them), and a deleted file in its last entry.
bool WriteCrossLinkedRun(FatImage& image, int n, Shape shape) {
  const std::vector<uint32_t> run = image.UnusedClusters(n);
  if (int(run.size()) != n) return false;
  const int perCluster = int(image.ClusterBytes() / 32);
  const int folders = perCluster - 3;
  for (int i = 0; i < n; ++i) {
    if (shape != Shape::Unlinked)
      image.Link(run[i], i + 1 < n ? run[i + 1] : shape == Shape::Ring ? run[0] : image.EndOfChain());
    const uint32_t parent = i > 0 ? run[i - 1] : shape == Shape::Ring ? run[n - 1] : 0;
    QByteArray cluster = Entry(".", 0x10, run[i]) + Entry("..", 0x10, parent);
    for (int k = 0; k < folders; ++k) {
      const uint32_t into = k == 0 ? run[(i + 1) % n] : run[(i * folders + k) % n];
      cluster += Entry(QString("D%1").arg(i * perCluster + k, 7, 16, QChar('0')).toUpper().toLatin1(), 0x10, into);
    }
    cluster += Entry(QByteArray("\xE5") + QString("IL%1TXT").arg(i, 5, 10, QChar('0')).toLatin1(), 0x20, run[i], 100);
    image.Put(image.ClusterAt(run[i]), cluster);
  }
  return image.AddToRoot(Entry("LOOP", 0x10, run[0])) && image.Save();
}

struct ScanOutcome {
  bool ended = false;
  int exitCode = -1;
  QJsonObject json;
  QByteArray err;
};

// Runs undelvo-cli as a process, with settings of its own (so every image
// is drive C:); one that has not ended after 20 seconds is killed.
ScanOutcome Scan(const QString& image, bool deep) {
  QTemporaryDir config;
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", config.path());
  p.setProcessEnvironment(env);
  QStringList args{"scan", "--image", image, "--json"};
  if (deep) args << "--deep";
  p.start(test::CliPath(), args);
  ScanOutcome o;
  if (!p.waitForStarted(10000)) return o;
  p.closeWriteChannel();
  o.ended = p.waitForFinished(20000);
  if (!o.ended) {
    p.kill();
    p.waitForFinished(5000);
    return o;
  }
  o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  o.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
  o.err = p.readAllStandardError();
  return o;
}

// How often each listed file ("C:\LOOP\õIL00007.TXT") was found.
std::map<std::string, int> Listed(const QJsonObject& scan) {
  std::map<std::string, int> files;
  for (const QJsonValue& f : scan["files"].toArray())
    ++files[(f.toObject()["path"].toString() + f.toObject()["name"].toString()).toStdString()];
  return files;
}

struct LoopCase {
  const char* label;
  const char* image;  // under tests/data/, packed as .gz
  qint64 offset;      // where the volume starts in it
  Shape shape;
  int clusters;       // the run's length
};

class FatFolderLoops : public ::testing::TestWithParam<LoopCase> {};

}  // namespace

TEST_P(FatFolderLoops, EachClusterIsReadAsAFolderOnce) {
  const LoopCase& c = GetParam();
  QTemporaryDir scratch;
  const QString pristine = test::Unpack(test::SourceDir() + "/tests/data/" + c.image + ".gz", scratch.path(), c.image);
  ASSERT_FALSE(pristine.isEmpty());
  const QString hostile = scratch.filePath("loops.img");
  ASSERT_TRUE(QFile::copy(pristine, hostile));
  FatImage image(hostile, c.offset);
  ASSERT_TRUE(image.ok());
  ASSERT_TRUE(WriteCrossLinkedRun(image, c.clusters, c.shape));

  for (const bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "deep scan" : "quick scan");
    const ScanOutcome before = Scan(pristine, deep);
    ASSERT_TRUE(before.ended);
    const ScanOutcome after = Scan(hostile, deep);
    ASSERT_TRUE(after.ended) << "still running after 20 s";
    EXPECT_TRUE(after.exitCode == 0 || after.exitCode == 1) << after.exitCode << after.err.toStdString();
    const qint64 scanned = after.json["scanned"].toInteger(-1);
    EXPECT_GE(scanned, c.clusters);
    EXPECT_LE(scanned, image.EntryRoom());

    // The run's files once each, whatever way the scan came to them; the
    // fixture's own files as on the untouched image.
    std::map<std::string, int> listed = Listed(after.json), expected = Listed(before.json);
    std::map<std::string, int> runFiles;  // by name, under whatever folder
    const std::string runFile = (kDeletedMark + "IL").toStdString();
    std::erase_if(listed, [&](const auto& f) {
      if (f.first.find(runFile) == std::string::npos) return false;
      runFiles[f.first.substr(f.first.rfind('\\') + 1)] += f.second;
      return true;
    });
    int missing = 0, again = 0;
    for (int i = 0; i < c.clusters; ++i) {
      const auto hit = runFiles.find(RunFileName(i).toStdString());
      if (hit == runFiles.end()) {
        ++missing;
        continue;
      }
      again += hit->second - 1;
      runFiles.erase(hit);
    }
    for (const auto& [name, count] : runFiles) again += count;  // "õIL00007.TXT(1)": found again
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(again, 0);
    EXPECT_EQ(listed, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FatFolderLoops,
    ::testing::Values(LoopCase{"Fat16Chain", "fat16.img", 0, Shape::Chain, 400},
                      LoopCase{"Fat32Chain", "fat32-mbr.img", 2048 * 512, Shape::Chain, 1000},
                      LoopCase{"Fat16Ring", "fat16.img", 0, Shape::Ring, 400},
                      LoopCase{"Fat32Unlinked", "fat32-mbr.img", 2048 * 512, Shape::Unlinked, 1000}),
    [](const ::testing::TestParamInfo<LoopCase>& info) { return std::string(info.param.label); });

// The deep scan names a folder from the folders it read: a folder whose
// parent lies further on the volume waits for it, and still gets its whole
// path, in the quick scan's words.
TEST(FatFolderLoopsDeep, AFolderWhoseParentLiesFurtherOnGetsItsWholePath) {
  for (const test::FixtureVolume& fixture : test::FatFixtures()) {
    SCOPED_TRACE(fixture.image);
    QTemporaryDir scratch;
    const QString path = test::Unpack(test::SourceDir() + "/tests/data/" + fixture.image + ".gz", scratch.path(),
                                      fixture.image);
    ASSERT_FALSE(path.isEmpty());
    FatImage image(path, qint64(fixture.offset));
    ASSERT_TRUE(image.ok());
    const std::vector<uint32_t> at = image.UnusedClusters(2);
    ASSERT_EQ(at.size(), 2u);
    const uint32_t child = at[0], parent = at[1];  // the child first on the volume
    image.Link(child, image.EndOfChain());
    image.Link(parent, image.EndOfChain());
    image.Put(image.ClusterAt(parent), Entry(".", 0x10, parent) + Entry("..", 0x10, 0) + Entry("EARLY", 0x10, child));
    image.Put(image.ClusterAt(child), Entry(".", 0x10, child) + Entry("..", 0x10, parent) +
                                          Entry("\xE5OTE    TXT", 0x20, child, 100));
    ASSERT_TRUE(image.AddToRoot(Entry("LATE", 0x10, parent)) && image.Save());

    for (const bool deep : {false, true}) {
      const ScanOutcome scan = Scan(path, deep);
      ASSERT_TRUE(scan.ended);
      const std::map<std::string, int> listed = Listed(scan.json);
      EXPECT_EQ(listed.count(("C:\\LATE\\EARLY\\" + kDeletedMark + "OTE.TXT").toStdString()), 1u)
          << (deep ? "deep scan" : "quick scan");
    }
  }
}
