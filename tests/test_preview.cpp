// The preview reader: what it shows of a found file, checked against The
// Sleuth Kit's icat on the fixture volumes (through undelvo-cli show and
// through the engines), its refusals, its stock pictures, the Recycle Bin,
// and the places where it must not lose or shift data.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "volume/ClusterExtent.h"
#include "scan/PreviewRead.h"
#include "scan/QuickScanRun.h"
#include "volume/FatGeometry.h"

using namespace undelvo;
using Kind = PreviewContent::Kind;

namespace {

// The Sleuth Kit on a fixture: `offset` is the volume's first sector in the image.
struct Tsk {
  QString image;
  int offset = 0;

  QStringList Offset() const { return offset ? QStringList{"-o", QString::number(offset)} : QStringList(); }
  // The inode of a deleted file as `fls -r -d` lists it ("docs/_lan.txt").
  QString Inode(const QString& listed) const {
    const auto r = test::Run("fls", QStringList{"-r", "-d"} + Offset() + QStringList{image});
    for (const QString& line : QString::fromUtf8(r.out).split('\n'))
      if (line.endsWith(":\t" + listed)) return line.section(":\t", 0, 0).section(' ', -1);
    ADD_FAILURE() << "fls does not list " << listed.toStdString();
    return {};
  }
  QByteArray Icat(const QString& listed) const {
    const auto r = test::Run("icat", Offset() + QStringList{image, Inode(listed)});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
  }
  // NTFS: the data runs of a file, from the cluster numbers istat lists
  // for its $DATA attribute.
  std::vector<ClusterExtent> Runs(const QString& listed) const {
    const auto r = test::Run("istat", Offset() + QStringList{image, Inode(listed)});
    const QString out = QString::fromUtf8(r.out);
    const QString clusters = out.mid(out.indexOf("$DATA")).section('\n', 1);
    std::vector<ClusterExtent> runs;
    for (const QString& word : clusters.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
      bool ok = false;
      const int64_t cluster = word.toLongLong(&ok);
      if (!ok) break;
      if (!runs.empty() && cluster == runs.back().start + runs.back().length) ++runs.back().length;
      else runs.push_back({cluster, 1});
    }
    return runs;
  }
};

class PreviewTest : public ::testing::Test {
 protected:
  QString Unpack(const char* image) {
    return test::Unpack(test::SourceDir() + "/tests/data/" + image + ".gz", dir_.path(), image);
  }
  QTemporaryDir dir_, config_;
};

}  // namespace

// What the preview shows is what icat reads: for text the first 2 clusters
// (FAT) or the first 2 runs (NTFS), cut at the size; a picture whole. The
// FAT files' chains were freed by the deletion, so the picture comes from
// the consecutive clusters after the first, as a restore reads it.
TEST_F(PreviewTest, ShowWritesTheBytesIcatReads) {
  const struct {
    const char* image;
    int offset;
    const char* file;    // as undelvo-cli lists it
    const char* listed;  // as fls lists it
    int64_t cluster;     // bytes; 0 on NTFS, where runs count
    bool picture;
  } cases[] = {
      {"fat16.img", 0, "日本語.doc", "日本語.doc", 2048, false},  // 9000 bytes, text from 2 of 5 clusters
      {"fat16.img", 0, "фото.jpg", "фото.jpg", 2048, true},      // 10 clusters
      {"fat32-mbr.img", 2048, "C:\\DOCS\\õLAN.TXT", "docs/_lan.txt", 512, false},
      {"fat32-mbr.img", 2048, "Item 070.txt", "Many files/Item 070.txt", 512, false},
      {"fat32-mbr.img", 2048, "фото.jpg", "фото.jpg", 512, true},  // 40 clusters
      {"ntfs.img", 0, "日本語.doc", "日本語.doc", 0, false},         // one run of 3 clusters: all of it
      {"ntfs.img", 0, "Grüße.txt", "Grüße.txt", 0, false},           // resident data
      {"ntfs.img", 0, "фото.jpg", "фото.jpg", 0, true},
  };
  QString unpacked, image;
  std::unique_ptr<QTemporaryDir> config;  // one per image: each image is drive C:
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.image) + " " + c.file);
    if (unpacked != c.image) {
      image = Unpack(c.image);
      ASSERT_FALSE(image.isEmpty());
      unpacked = c.image;
      config = std::make_unique<QTemporaryDir>();
    }
    const Tsk tsk{image, c.offset};
    const QByteArray whole = tsk.Icat(c.listed);
    ASSERT_FALSE(whole.isEmpty());
    qsizetype shown = whole.size();
    if (!c.picture && c.cluster > 0) {
      shown = qsizetype(2 * c.cluster);
      EXPECT_LT(shown, whole.size()) << "a file longer than 2 clusters shows the text limit";
    } else if (!c.picture) {
      const std::vector<ClusterExtent> runs = tsk.Runs(c.listed);
      int64_t clusters = 0;
      for (size_t i = 0; i < runs.size() && i < 2; ++i) clusters += runs[i].length;
      if (!runs.empty()) shown = std::min<qsizetype>(whole.size(), qsizetype(clusters) * 4096);
    }
    const auto r = test::RunCli(config->path(), {"show", "--image", image, "--file", c.file});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out == whole.left(shown)) << r.out.size() << " bytes, not " << shown;
    const auto cut = test::RunCli(config->path(), {"show", "--image", image, "--file", c.file, "--bytes", "100"});
    EXPECT_TRUE(cut.out == whole.left(100));
  }
}

// Names and paths, the files there is nothing to show of, and bad usage.
// Two found files share a name when a deleted entry in the root is renamed
// to that of one in /FRAG.
TEST_F(PreviewTest, ShowFindsOneFileOrSaysWhyNot) {
  const QString fat = Unpack("fat16.img"), ntfs = Unpack("ntfs.img");
  ASSERT_FALSE(fat.isEmpty() || ntfs.isEmpty());
  {
    QFile f(fat);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf(QByteArray("\xE5ODOT      ", 11));  // NODOT, deleted
    ASSERT_GE(at, 0);
    ASSERT_TRUE(f.seek(at) && f.write("\xE5HUNK02 BIN", 11) == 11);
  }
  const QByteArray nodot = Tsk{fat, 0}.Icat("_HUNK02.BIN");
  ASSERT_EQ(nodot.size(), 2100);

  const struct {
    const char* what;
    QString image;
    QStringList args;
    int status;
    QByteArray out;
    const char* inStderr;  // a part of what it says
  } cases[] = {
      {"a shared name", fat, {"--file", "õhunk02.bin"}, 2, {}, "C:\\õHUNK02.BIN\n  C:\\FRAG\\õHUNK02.BIN\n"},
      {"its path tells them apart", fat, {"--file", "c:\\õhunk02.bin"}, 0, nodot, ""},
      {"a program shows its stock picture", fat, {"--file", "õETUP.EXE"}, 0, {}, "stock picture ExeDll\n"},
      {"sound", ntfs, {"--file", "song.mp3"}, 0, {}, "stock picture Wav\n"},
      {"an empty file", ntfs, {"--file", "empty.txt"}, 1, {}, "Preview is impossible!\n"},
      {"no such file", ntfs, {"--file", "nothing.txt"}, 1, {}, "No such file found!\n"},
      {"a drive not in the list", ntfs, {"--drive", "Q:", "--file", "plan.txt"}, 1, {}, "Drive not found!\n"},
      {"no name", ntfs, {"--bytes", "10"}, 2, {}, "--file"},
      {"a count that is not one", ntfs, {"--file", "plan.txt", "--bytes", "-1"}, 2, {}, "--bytes"},
      {"raw bytes are not JSON", ntfs, {"--file", "plan.txt", "--json"}, 2, {}, "--json"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto r = test::RunCli(config_.path(), QStringList{"show", "--image", c.image} + c.args);
    EXPECT_EQ(r.exitCode, c.status) << r.err.toStdString();
    EXPECT_TRUE(r.out == c.out) << r.out.size() << " bytes on stdout";
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(c.inStderr))) << r.err.toStdString();
  }
}

namespace {

// A fixture volume scanned into a state of its own, as the window keeps it
// for the preview.
class PreviewOnVolume : public PreviewTest {
 protected:
  void Scan(const char* image, const char* fs) {
    image_ = Unpack(image);
    ASSERT_FALSE(image_.isEmpty());
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
    state_.Program.Drives.drives = {
        test::ImageDrive(image_, 0, uint64_t(QFileInfo(image_).size()), "C:", fs, image_)};
    ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);
  }
  // The entry value of the found file listed as `name`.
  QString ValueOf(const QString& name) const {
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      if (row.name == name) return row.value;
    ADD_FAILURE() << "not found: " << name.toStdString();
    return {};
  }
  // Ends the drive at byte `end` of the volume: what lies behind can no longer be read.
  void CutDriveAt(uint64_t end) { state_.Program.Drives.drives[0].source.size = end; }

  QString image_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
};

}  // namespace

// The preview's rules over one row, on a scanned FAT16 volume: refusals by
// locator and size, stock pictures that read nothing, other file systems,
// and Recycle Bin rows that read the file itself.
TEST_F(PreviewOnVolume, RowRulesDecideWhatIsRead) {
  Scan("fat16.img", "FAT");
  const EntryValue doc = ParseEntryValue(ValueOf("日本語.doc"));  // 9000 bytes
  const QByteArray start = Tsk{image_, 0}.Icat("日本語.doc").left(4096);
  auto onVolume = [&](const QString& locator, int64_t size) { return JoinEntryValue(locator, doc.path, doc.date, size); };
  const QString binFile = dir_.filePath("$RECYCLE.BIN/note");
  const QByteArray binBytes(10000, 'n');  // more than 2 clusters: the bin file is read whole
  ASSERT_TRUE(QDir().mkpath(QFileInfo(binFile).path()));
  ASSERT_TRUE(test::MakeSparseFile(binFile, binBytes.size(), 0, binBytes));
  auto inBin = [&](const QString& path, int64_t size) { return JoinEntryValue("R", path, doc.date, size); };
  const QString first = doc.locatorText;

  enum Bytes { None, DocStart, BinFile };
  const struct {
    const char* what;
    const char* name;
    QString value;
    uint8_t fsKind;
    Kind kind;
    const char* stock;
    Bytes bytes;
  } cases[] = {
      {"the largest file on the volume", "a.doc", onVolume(first, 1024000), FsFat16, Kind::Text, "", DocStart},
      {"one byte more", "a.doc", onVolume(first, 1024001), FsFat16, Kind::Impossible, "", None},
      {"an empty file", "a.doc", onVolume(first, 0), FsFat16, Kind::Impossible, "", None},
      {"no first cluster", "a.doc", onVolume("0", 9000), FsFat16, Kind::Impossible, "", None},
      {"a locator that is no number", "a.doc", onVolume("x", 9000), FsFat16, Kind::Impossible, "", None},
      {"sound, with a usable locator", "a.MP3", onVolume(first, 9000), FsFat16, Kind::Stock, "Wav", None},
      {"video, whatever the size", "a.mpeg", onVolume(first, 5000000), FsFat16, Kind::Stock, "Avi", None},
      {"a program, without a locator", "a.Dll", onVolume("0", 0), FsFat16, Kind::Stock, "ExeDll", None},
      {"a name without a dot is text", "MPG", onVolume(first, 9000), FsFat16, Kind::Text, "", DocStart},
      {"a floppy reads nothing", "a.doc", onVolume(first, 9000), FsFloppy, Kind::Text, "", None},
      {"the bin above the volume's limit", "note", inBin(binFile, 1024001), FsFat16, Kind::Text, "", BinFile},
      {"a picture in the bin", "note.png", inBin(binFile, 10000), FsNone, Kind::Picture, "", BinFile},
      {"a stock file in the bin", "note.wav", inBin(binFile, 10000), FsFat16, Kind::Stock, "Wav", None},
      {"a bin file that is gone", "gone.txt", inBin(binFile + "-gone", 10), FsFat16, Kind::Text, "", None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    state_.Scan.Volume.FsKind = c.fsKind;
    const PreviewContent p = ReadPreview(state_, c.name, c.value);
    EXPECT_EQ(p.kind, c.kind);
    EXPECT_EQ(p.stock, c.stock);
    EXPECT_EQ(p.message, c.kind == Kind::Impossible ? "Preview is impossible!" : "");
    const QByteArray expected = c.bytes == DocStart ? start : c.bytes == BinFile ? binBytes : QByteArray();
    EXPECT_TRUE(p.bytes == expected) << p.bytes.size() << " bytes";
  }
  EXPECT_FALSE(state_.Run.Busy());
}

// A chain the table still holds is followed, as the restore follows it; an
// unreadable cluster comes as zeros in its place, so the clusters after it
// stay where they belong.
TEST_F(PreviewOnVolume, FatChainIsFollowedAndAnUnreadableClusterKeepsItsPlace) {
  Scan("fat16.img", "FAT");
  const QString value = ValueOf("日本語.doc");
  const int64_t c = ParseEntryValue(value).locator;  // 9000 bytes in clusters c ... c+4
  const QByteArray file = Tsk{image_, 0}.Icat("日本語.doc");
  auto cluster = [&](int k) { return file.mid(k * 2048, 2048); };
  // Four clusters make 8192 bytes, within one cluster of the size: the chain is used.
  std::vector<uint8_t>& table = state_.Scan.Fat.FatTable;
  auto link = [&](int64_t from, int64_t to) {
    table[size_t(2 * from)] = uint8_t(to);
    table[size_t(2 * from + 1)] = uint8_t(to >> 8);
  };
  link(c, c + 4);
  link(c + 4, c + 1);
  link(c + 1, c + 3);
  link(c + 3, 0xFFFF);
  CutDriveAt(uint64_t(FatClusterToSector(state_.Scan.Volume, state_.Scan.Fat, c + 4)) * 512);
  const QByteArray zeros(2048, '\0');
  EXPECT_TRUE(ReadPreview(state_, "a.jpg", value).bytes == cluster(0) + zeros + cluster(1) + cluster(3));
  EXPECT_TRUE(ReadPreview(state_, "a.doc", value).bytes == cluster(0) + zeros);
}

// NTFS text reads the first 2 runs of a fragmented file, a picture all of
// them; runs that cannot be read come as zeros, up to the file's size.
TEST_F(PreviewOnVolume, NtfsTextReadsTwoRunsAndUnreadableRunsKeepTheSize) {
  Scan("ntfs.img", "NTFS");
  const QString value = ValueOf("movie.avi");
  const Tsk tsk{image_, 0};
  const QByteArray file = tsk.Icat("video/movie.avi");
  const std::vector<ClusterExtent> runs = tsk.Runs("video/movie.avi");
  ASSERT_GE(runs.size(), 3u);
  const qsizetype twoRuns = qsizetype(runs[0].length + runs[1].length) * 4096;
  ASSERT_LT(twoRuns, file.size());
  EXPECT_TRUE(ReadPreview(state_, "movie.txt", value).bytes == file.left(twoRuns));
  EXPECT_TRUE(ReadPreview(state_, "movie.gif", value).bytes == file);

  ASSERT_GT(runs[1].start, runs[0].start);
  CutDriveAt(uint64_t(runs[1].start) * 4096);
  const qsizetype first = qsizetype(runs[0].length) * 4096;
  EXPECT_TRUE(ReadPreview(state_, "movie.gif", value).bytes == file.left(first) + QByteArray(file.size() - first, '\0'));
}

// A Recycle Bin file is loaded whole, but no more than the read limit of it:
// a huge file in the bin cannot exhaust the memory.
TEST_F(PreviewTest, RecycleBinFileIsReadUpToTheLimit) {
  const QString big = dir_.filePath("big.bmp");
  const qint64 size = kPreviewReadLimit + 4096;
  ASSERT_TRUE(test::MakeSparseFile(big, size, 0, "BM"));
  UndelvoState state(dir_.filePath("registry.reg"));
  const PreviewContent p = ReadPreview(state, "big.bmp", JoinEntryValue("R", big, "2024/01/01", size));
  EXPECT_EQ(p.kind, Kind::Picture);
  EXPECT_EQ(p.bytes.size(), kPreviewReadLimit);
  EXPECT_TRUE(p.bytes.startsWith("BM"));
}
