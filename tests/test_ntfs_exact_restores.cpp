// NTFS content that is not a plain list of runs: compressed streams (LZNT1
// in compression units), sparse files with holes, empty files; and the
// modification time a restored file keeps. Checked against the files as
// written and against The Sleuth Kit's icat.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <random>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "ntfs/Lznt1.h"
#include "ntfs/PreviewNTFS.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

// One LZNT1 chunk: its header (bit 15 when compressed, bytes - 3) and data.
QByteArray Chunk(bool compressed, const QByteArray& data) {
  QByteArray c(2, '\0');
  test::PutLE(c, 0, (compressed ? 0xB000u : 0x3000u) | uint32_t(data.size() + 2 - 3), 2);
  return c + data;
}

// Compressed chunk data from literals, with a back-reference token after them.
QByteArray LiteralsThenReference(const QByteArray& literals, uint16_t token) {
  QByteArray d;
  for (qsizetype i = 0; i < literals.size(); i += 8) {
    const QByteArray group = literals.mid(i, 8);
    const bool last = i + 8 >= literals.size();
    // The reference follows the last literal: in this group when there is room, else in its own.
    d += char(last && group.size() < 8 ? 1 << group.size() : 0);
    d += group;
  }
  if (literals.size() % 8 == 0) d += char(1);
  QByteArray t(2, '\0');
  test::PutLE(t, 0, token, 2);
  return d + t;
}

QByteArray Decompress(const QByteArray& in, size_t outSize) {
  std::vector<uint8_t> out(outSize, 0xEE);
  const size_t n = Lznt1Decompress(reinterpret_cast<const uint8_t*>(in.constData()), size_t(in.size()), out.data(), outSize);
  EXPECT_LE(n, outSize);
  return QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(std::min(n, outSize)));
}

QByteArray Letters(int n) {
  QByteArray b;
  for (int i = 0; i < n; ++i) b += char('a' + (i * 7 + i / 26) % 26);
  return b;
}

}  // namespace

TEST(Lznt1, HandMadeChunks) {
  const QByteArray page = Letters(4096), l40 = Letters(40), l3000 = Letters(3000);
  struct Case {
    const char* what;
    QByteArray in;
    size_t outSize;
    QByteArray out;
  };
  const Case cases[] = {
      {"uncompressed chunk", Chunk(false, page), 65536, page},
      {"short uncompressed chunk", Chunk(false, "hello"), 65536, "hello"},
      {"literals only", Chunk(true, QByteArray("\x00" "abcdefgh" "\x00" "ij", 12)), 65536, "abcdefghij"},
      // At position 3 the token splits 4 offset bits / 12 length bits: back 3, length 6.
      {"reference near the start", Chunk(true, LiteralsThenReference("abc", (2 << 12) | 3)), 65536, "abcabcabc"},
      {"reference overlapping its output", Chunk(true, LiteralsThenReference("a", (0 << 12) | 7)), 65536, "aaaaaaaaaaa"},
      // At position 40: 6 offset bits, 10 length bits; back 40, length 10.
      {"reference at position 40", Chunk(true, LiteralsThenReference(l40, (39 << 10) | 7)), 65536, l40 + l40.left(10)},
      // At position 3000: 12 offset bits, 4 length bits; back 3000, length 5.
      {"reference at position 3000", Chunk(true, LiteralsThenReference(l3000, (2999 << 4) | 2)), 65536,
       l3000 + l3000.left(5)},
      {"second chunk starts at 4096", Chunk(false, page) + Chunk(true, QByteArray("\x00xyz", 4)), 65536, page + "xyz"},
      {"a header of 0 ends the unit", Chunk(false, "one") + QByteArray(2, '\0') + Chunk(false, "two"), 65536, "one"},
      {"output room ends the unit", Chunk(true, LiteralsThenReference("abc", (2 << 12) | 3)), 4, "abca"},
      {"chunk reaching past the data", Chunk(false, page) + Chunk(true, QByteArray("\x00xyz", 4)).left(4), 65536, page},
      {"damaged header", Chunk(false, page) + QByteArray("\xFF\xFF\x00", 3), 65536, page},
      {"half a header", Chunk(false, "abc") + QByteArray("\x05", 1), 65536, "abc"},
      {"reference before the chunk's start", Chunk(true, LiteralsThenReference("ab", (4 << 12) | 0)), 65536, "ab"},
      {"reference with nothing before it", Chunk(true, QByteArray("\x01\x00\x10", 3)), 65536, ""},
      {"token cut off", Chunk(true, QByteArray("\x02" "a" "\x01", 3)), 65536, "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(Decompress(c.in, c.outSize), c.out) << c.what;
}

namespace {

// A text that compresses well, the same on every run.
QByteArray CompressibleText(qsizetype size) {
  static const char* const words[] = {"alpha", "cluster", "record", "volume", "undelete", "the", "of", "and", "run"};
  std::mt19937 rng(7);
  QByteArray text;
  for (int line = 0; text.size() < size; ++line) {
    for (int w = 0; w < 12; ++w) text += QByteArray(words[rng() % 9]) + ' ';
    text += "line " + QByteArray::number(line) + '\n';
  }
  return text.left(size);
}

QByteArray RandomBytes(qsizetype size, unsigned seed) {
  std::mt19937 rng(seed);
  QByteArray b(size, '\0');
  for (char& c : b) c = char(rng());
  return b;
}

QByteArray Sha256(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// What was written onto the volume before it was deleted.
struct Original {
  QString path;        // on the volume, "c/text228.txt"
  QByteArray content;  // what the file held
  int64_t mtimeNs = 0; // its modification time, nanoseconds since 1970
  QString inode;       // its record, for icat
};

// A volume made by mkntfs and written by ntfs-3g: a compressed folder with
// text and random data, sparse files, an empty file; all deleted.
class NtfsExactRestores : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse") || test::Run("sh", {"-c", "command -v setfattr"}).exitCode)
      return;
    dir_ = new QTemporaryDir;
    const QString image = dir_->filePath("c.img"), mnt = dir_->filePath("mnt"), src = dir_->filePath("src");
    QDir().mkpath(mnt);
    QDir().mkpath(src + "/c");
    const QByteArray page(8192, 'x');
    QByteArray holeFirst(20 << 20, '\0'), holeMiddle(20 << 20, '\0');
    holeFirst.replace(20480000, 8192, RandomBytes(8192, 1));
    holeMiddle.replace(0, 8192, RandomBytes(8192, 2));
    holeMiddle.replace(holeMiddle.size() - 8192, 8192, RandomBytes(8192, 3));
    originals_ = {
        {"c/text228.txt", CompressibleText(228894), 0, {}},
        {"c/text100.txt", CompressibleText(100000), 0, {}},
        {"c/random70.bin", RandomBytes(70000, 4), 0, {}},
        {"c/random5.bin", RandomBytes(5000, 5), 0, {}},
        {"c/random64k.bin", RandomBytes(65536, 6), 0, {}},
        {"c/mixed.bin", RandomBytes(65536, 7) + CompressibleText(70000) + RandomBytes(3000, 8), 0, {}},
        {"holefirst.bin", holeFirst, 0, {}},
        {"holemiddle.bin", holeMiddle, 0, {}},
        {"empty.txt", {}, 0, {}},
    };
    // Sparse files are made sparse on the volume: written only where they hold data.
    QString write = QString("mkdir '%1/c' && setfattr -h -v 0x00000800 -n system.ntfs_attrib_be '%1/c'").arg(mnt);
    for (Original& o : originals_) {
      const QString file = src + "/" + o.path;
      if (o.path.startsWith("hole")) {
        write += QString(" && truncate -s %1 '%2/%3'").arg(o.content.size()).arg(mnt, o.path);
        for (qsizetype at = 0; at < o.content.size(); at += 8192)
          if (o.content.mid(at, 8192) != QByteArray(8192, '\0'))
            write += QString(" && dd if='%1' of='%2/%3' bs=8192 skip=%4 seek=%4 count=1 conv=notrunc status=none")
                         .arg(file, mnt, o.path)
                         .arg(at / 8192);
      } else {
        write += QString(" && cp '%1' '%2/%3'").arg(file, mnt, o.path);
      }
      QFile f(file);
      if (!f.open(QIODevice::WriteOnly) || f.write(o.content) != o.content.size()) return;
    }
    // Times with 100-ns detail, one per file.
    for (size_t i = 0; i < originals_.size(); ++i) {
      originals_[i].mtimeNs = (1300000000LL + int64_t(i) * 86400) * 1000000000LL + 123456700;
      write += QString(" && touch -m -d @%1.%2 '%3/%4'")
                   .arg(originals_[i].mtimeNs / 1000000000)
                   .arg(originals_[i].mtimeNs % 1000000000, 9, 10, QChar('0'))
                   .arg(mnt, originals_[i].path);
    }
    if (!test::Shell(QString("truncate -s 64M '%1' && mkntfs -F -Q '%1' >/dev/null 2>&1 && "
                             "ntfs-3g -o compression '%1' '%2' && (%3); r=$?; umount '%2'; exit $r")
                         .arg(image, mnt, write)))
      return;
    const QString listed = QString::fromUtf8(test::Run("fls", {"-r", "-p", image}).out);
    for (Original& o : originals_) {
      const auto m = QRegularExpression("(\\d+)-128-\\d+:\\t" + QRegularExpression::escape(o.path) + "\\n").match(listed);
      o.inode = m.captured(1);
    }
    if (!test::Shell(QString("ntfs-3g '%1' '%2' && rm -r '%2/c' '%2/holefirst.bin' '%2/holemiddle.bin' "
                             "'%2/empty.txt'; r=$?; umount '%2'; exit $r")
                         .arg(image, mnt)))
      return;
    image_ = image;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
    originals_.clear();
    image_.clear();
  }

  void SetUp() override {
    if (image_.isEmpty()) GTEST_SKIP() << "writing compressed files with ntfs-3g needs root, /dev/fuse and setfattr";
    state_.Program.Drives.drives = {
        test::ImageDrive(image_, 0, uint64_t(QFileInfo(image_).size()), "C:", "NTFS", image_)};
    state_.Program.GeometryCacheFile = work_.filePath("Zantero.ini");
    state_.Program.Config.SaveFolder = work_.filePath("restored");
    ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
    ASSERT_EQ(QuickScanRun(state_, sink_, "C:").end, ScanRunEnd::FilesFound);
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found)) rows_[row.name] = row;
  }

  static QString NameOf(const Original& o) { return QFileInfo(o.path).fileName(); }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline std::vector<Original> originals_;
  static inline QString image_;
  QTemporaryDir work_;
  UndelvoState state_{work_.filePath("registry.reg")};
  test::RecordingSink sink_;
  std::map<QString, FoundRow> rows_;
};

}  // namespace

// Every file is listed, counted as restored and comes back byte for byte, as
// icat reads it too, with the modification time it had on the volume.
TEST_F(NtfsExactRestores, RestoredFilesMatchTheOriginalsIcatAndTheirTimes) {
  std::vector<FoundRow> rows;
  for (const Original& o : originals_) {
    ASSERT_TRUE(rows_.count(NameOf(o))) << o.path.toStdString();
    rows.push_back(rows_[NameOf(o)]);
  }
  const RecoverRunResult result = test::RecoverAll(state_, sink_, rows);
  EXPECT_EQ(result.restored, int32_t(originals_.size()));
  ASSERT_EQ(result.rows.size(), originals_.size());
  for (size_t i = 0; i < originals_.size(); ++i) {
    const Original& o = originals_[i];
    const RestoreOutcome& out = result.rows[i].outcome;
    SCOPED_TRACE(o.path.toStdString());
    ASSERT_TRUE(out.Written());
    EXPECT_EQ(out.bytes, o.content.size());
    EXPECT_EQ(test::FileSha256(out.path), Sha256(o.content));
    ASSERT_FALSE(o.inode.isEmpty());
    const test::CommandResult icat = test::Run("icat", {image_, o.inode});
    if (icat.exitCode == 0) {
      EXPECT_EQ(Sha256(icat.out), Sha256(o.content)) << "icat disagrees with the original";
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(out.path).constData(), &st), 0);
    EXPECT_EQ(int64_t(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec, o.mtimeNs);
  }
}

// The preview reads the same content: decompressed and with holes as zeros;
// a text's preview is the bytes its first 2 runs cover, a start of the file.
TEST_F(NtfsExactRestores, PreviewShowsTheContentDecompressed) {
  for (const Original& o : originals_) {
    SCOPED_TRACE(o.path.toStdString());
    const EntryValue e = ParseEntryValue(rows_[NameOf(o)].value);
    const int64_t limit = 32 << 20;
    EXPECT_EQ(Sha256(PreviewNTFS(state_.Scan.Volume, state_.Scan.Ntfs, e.locator, true, limit)), Sha256(o.content));
    const QByteArray start = PreviewNTFS(state_.Scan.Volume, state_.Scan.Ntfs, e.locator, false, limit);
    EXPECT_TRUE(o.content.startsWith(start));
    if (!o.content.isEmpty()) {
      EXPECT_GT(start.size(), 0);
    }
    EXPECT_EQ(PreviewNTFS(state_.Scan.Volume, state_.Scan.Ntfs, e.locator, true, 100000).size(),
              std::min<qsizetype>(o.content.size(), 100000));
  }
}
