// NTFS files spread over several MFT records: the base record holds an
// attribute list, the name and the pieces of the data lie in extension
// records. A real volume (ntfs-3g, some 1250 runs) for both scans and the
// restore, checked against icat; hand-made records for damaged lists.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "ntfs/AttributeList.h"
#include "ntfs/MftRecord.h"
#include "ntfs/RestoreFileNTFS.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

constexpr qsizetype kRecordBytes = 1024;

uint64_t LE(const QByteArray& b, qsizetype at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
  return v;
}

// The clusters of every non-resident attribute of a record, as istat reads
// them: (first cluster, count).
std::vector<std::pair<qint64, qint64>> RunsOf(const QString& image, uint32_t record) {
  std::vector<std::pair<qint64, qint64>> runs;
  const auto istat = test::Run("istat", {"-r", image, QString::number(record)});
  static const QRegularExpression run(QStringLiteral("Starting address: (\\d+), length: (\\d+)"));
  for (auto it = run.globalMatch(QString::fromUtf8(istat.out)); it.hasNext();) {
    const auto m = it.next();
    runs.push_back({m.captured(1).toLongLong(), m.captured(2).toLongLong()});
  }
  return runs;
}

// Deletes the file whose base record is `base` as Windows does: the base
// record and its extension records (those naming it) are marked free, their
// attributes kept, and the file's clusters are freed in the cluster bitmap
// (record 6). ntfs-3g's own delete is no model here: it removes the file name
// from its extension record and drops the list's entries of the data's
// extension records, so nothing would be left to find.
bool DeleteAsWindowsDoes(const QString& image, uint32_t base) {
  const auto freed = RunsOf(image, base), bitmap = RunsOf(image, 6);
  QFile f(image);
  if (freed.empty() || bitmap.empty() || !f.open(QIODevice::ReadWrite)) return false;
  QByteArray bytes = f.readAll();
  const qint64 cluster = qint64(LE(bytes, 11, 2)) * uint8_t(bytes[13]);
  // The bitmap's byte that holds cluster c's bit, along the bitmap's own runs.
  auto bitmapByte = [&](qint64 c) {
    qint64 byte = c / 8;
    for (const auto& [first, count] : bitmap) {
      if (byte < count * cluster) return first * cluster + byte;
      byte -= count * cluster;
    }
    return qint64(-1);
  };
  for (const auto& [first, count] : freed)
    for (qint64 c = first; c < first + count; ++c)
      if (const qint64 at = bitmapByte(c); at >= 0 && at < bytes.size()) bytes[at] = char(uint8_t(bytes[at]) & ~(1 << (c % 8)));
  int marked = 0;
  for (qsizetype at = 0; at + kRecordBytes <= bytes.size(); at += kRecordBytes) {
    if (!bytes.mid(at, 4).startsWith("FILE")) continue;
    if (LE(bytes, at + 44, 4) == base || LE(bytes, at + 32, 6) == base) {
      bytes[at + 22] = char(uint8_t(bytes[at + 22]) & ~1);
      ++marked;
    }
  }
  return marked > 2 && f.seek(0) && f.write(bytes) == bytes.size();
}

// The base record of the file whose name, in UTF-16, lies in an extension
// record: that record's base reference.
uint32_t BaseOfNameRecord(const QString& image, const QString& name) {
  QFile f(image);
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QByteArray bytes = f.readAll();
  const QByteArray utf16(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
  for (qsizetype at = 0; at + kRecordBytes <= bytes.size(); at += kRecordBytes)
    if (bytes.mid(at, 4) == "FILE" && LE(bytes, at + 32, 6) != 0 && bytes.mid(at, kRecordBytes).contains(utf16))
      return uint32_t(LE(bytes, at + 32, 6));
  return 0;
}

class SpreadFileVolume : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto live = test::ReadManifest(test::SourceDir() + "/tests/data/ntfs-attrlist.img.live.tsv");
    ASSERT_EQ(live.size(), 1u);
    original_ = live.front();
    image_ = test::Unpack(test::SourceDir() + "/tests/data/ntfs-attrlist.img.gz", dir_.path(), "ntfs-attrlist.img");
    ASSERT_FALSE(image_.isEmpty());
    base_ = BaseOfNameRecord(image_, original_.name);
    ASSERT_GT(base_, 0u) << "the fixture's name no longer lies in an extension record";
    state_.Program.Drives.drives = {
        test::ImageDrive(image_, 0, uint64_t(QFileInfo(image_).size()), "C:", "NTFS", image_)};
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
  }

  std::vector<FoundRow> Scan(bool deep) {
    if (deep) AdvancedScanRun(state_, sink_, "C:", {true, "*.*", {}});
    else QuickScanRun(state_, sink_, "C:");
    EXPECT_FALSE(state_.Run.Busy());
    std::vector<FoundRow> rows;
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      if (row.name == original_.name) rows.push_back(row);
    return rows;
  }

  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
  test::RecordingSink sink_;
  test::ManifestRow original_;
  QString image_;
  uint32_t base_ = 0;
};

}  // namespace

// Deleted as Windows leaves it, the file is listed once by each scan, in the
// root with its whole size, and restored byte for byte from all its pieces,
// as icat reads it.
TEST_F(SpreadFileVolume, BothScansFindItAndTheRestoreMatchesTheOriginalAndIcat) {
  ASSERT_TRUE(DeleteAsWindowsDoes(image_, base_));
  const test::CommandResult icat = test::Run("icat", {image_, QString::number(base_)});
  for (const bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "deep scan" : "quick scan");
    const std::vector<FoundRow> rows = Scan(deep);
    ASSERT_EQ(rows.size(), 1u) << "listed once; its extension records are no files of their own";
    const EntryValue e = ParseEntryValue(rows[0].value);
    EXPECT_EQ(e.path, "C:\\");
    EXPECT_EQ(e.size, original_.size);

    state_.Program.Config.SaveFolder = dir_.filePath(deep ? "deep" : "quick");
    ASSERT_TRUE(QDir().mkpath(state_.Program.Config.SaveFolder));
    const RecoverRunResult result = test::RecoverAll(state_, sink_, rows);
    ASSERT_EQ(result.rows.size(), 1u);
    const RestoreOutcome& out = result.rows[0].outcome;
    ASSERT_TRUE(out.Written());
    EXPECT_EQ(out.bytes, original_.size);
    EXPECT_EQ(test::FileSha256(out.path), original_.sha256);
    // Every piece's clusters are checked against the bitmap, and all are free.
    EXPECT_EQ(result.rows[0].state, GoodState());
  }
  if (icat.exitCode == 0) {
    EXPECT_EQ(QCryptographicHash::hash(icat.out, QCryptographicHash::Sha256).toHex(), original_.sha256)
        << "icat disagrees with the original";
  }
}

// While the file lives, neither its base record nor its extension records are
// taken for a found file.
TEST_F(SpreadFileVolume, TheLiveFileIsNotListed) {
  EXPECT_TRUE(Scan(false).empty());
  EXPECT_TRUE(Scan(true).empty());
}

namespace {

// Hand-made MFT records of 1024 bytes (fix-up of two strides, tails 0).
struct Record {
  uint32_t number = 0;
  uint64_t base = 0;        // base reference, 0 for a base record
  uint16_t sequence = 1;
  bool inUse = false;
  QByteArray attributes;    // with the end marker added by Bytes()

  QByteArray Bytes() const {
    QByteArray r(kRecordBytes, '\0');
    r.replace(0, 4, "FILE");
    test::PutLE(r, 4, 48, 2);  // update sequence array at 48: 3 entries
    test::PutLE(r, 6, 3, 2);
    test::PutLE(r, 16, sequence, 2);
    test::PutLE(r, 20, 56, 2);
    test::PutLE(r, 22, inUse ? 1 : 0, 2);
    test::PutLE(r, 32, base, 8);
    test::PutLE(r, 44, number, 4);
    r.replace(56, attributes.size(), attributes);
    test::PutLE(r, 56 + attributes.size(), 0xFFFFFFFF, 4);
    return r;
  }
};

QByteArray Resident(uint32_t type, const QByteArray& content) {
  const qsizetype length = (24 + content.size() + 7) / 8 * 8;
  QByteArray a(length, '\0');
  test::PutLE(a, 0, type, 4);
  test::PutLE(a, 4, uint64_t(length), 4);
  test::PutLE(a, 16, uint64_t(content.size()), 4);
  test::PutLE(a, 20, 24, 2);
  a.replace(24, content.size(), content);
  return a;
}

// A non-resident unnamed data piece from `vcn` on; `size` is what the first
// piece tells of the whole stream.
QByteArray DataPiece(uint64_t vcn, const QByteArray& runs, uint64_t size = 0) {
  const qsizetype length = (64 + runs.size() + 1 + 7) / 8 * 8;
  QByteArray a(length, '\0');
  test::PutLE(a, 0, 0x80, 4);
  test::PutLE(a, 4, uint64_t(length), 4);
  a[8] = 1;
  test::PutLE(a, 16, vcn, 8);
  test::PutLE(a, 32, 64, 2);
  test::PutLE(a, 48, size, 8);
  a.replace(64, runs.size(), runs);
  return a;
}

// One run of `length` clusters, `delta` clusters from the run before it.
QByteArray OneRun(int8_t delta, uint8_t length) { return QByteArray("\x11", 1) + char(length) + char(delta); }

QByteArray FileName(const QString& name) {
  QByteArray c(66 + name.size() * 2, '\0');
  test::PutLE(c, 0, 5, 6);  // in the root
  c[64] = char(name.size());
  c[65] = 1;
  for (qsizetype i = 0; i < name.size(); ++i) test::PutLE(c, 66 + 2 * i, name[i].unicode(), 2);
  return Resident(0x30, c);
}

QByteArray ListEntry(uint32_t type, uint64_t vcn, uint32_t record, uint16_t sequence = 1, uint16_t length = 32) {
  QByteArray e(32, '\0');
  test::PutLE(e, 0, type, 4);
  test::PutLE(e, 4, length, 2);
  e[7] = 26;
  test::PutLE(e, 8, vcn, 8);
  test::PutLE(e, 16, record, 6);
  test::PutLE(e, 22, sequence, 2);
  return e;
}

// A file of record 40 spread over three extension records: its name in 41,
// the data's clusters 0-3 in 42 and 4-6 in 43. The records lie in slots 0-3
// of the buffer, as a deep scan's zone may hold them, not at number x size.
struct SpreadFile {
  Record base{40, 0, 1, false, {}}, name{41, 40, 1, false, {}}, first{42, 40, 1, false, {}}, second{43, 40, 1, false, {}};
  QByteArray list = ListEntry(0x10, 0, 40) + ListEntry(0x30, 0, 41) + ListEntry(0x80, 0, 42) + ListEntry(0x80, 4, 43);
  SpreadFile() {
    name.attributes = FileName("spread.bin");
    first.attributes = DataPiece(0, OneRun(100, 4), 7 * 4096 - 10);
    second.attributes = DataPiece(4, OneRun(50, 3));
  }
  void Load(NtfsState& ntfs) const {
    Record b = base;
    b.attributes = Resident(0x10, QByteArray(72, '\0')) + Resident(0x20, list);
    QByteArray all;
    for (const Record& r : {b, name, first, second}) all += r.Bytes();
    ntfs.MFTRecordSize = int32_t(kRecordBytes);
    ntfs.MFTByteSize = all.size();
    ntfs.MFTBuffer.assign(size_t(all.size()) + 1024, 0);
    std::memcpy(ntfs.MFTBuffer.data(), all.constData(), size_t(all.size()));
    ntfs.Records.Clear();
  }
};

}  // namespace

// What the scan lists and the restore reads of a spread file when its list or
// records are damaged: never more than the records that truly belong to it.
TEST(AttributeList, DamagedListsAndRecordsListNothingFalse) {
  struct Case {
    const char* what;
    std::function<void(SpreadFile&)> damage;
    bool listed;
    std::vector<std::pair<int64_t, int64_t>> runs;  // start, length
  };
  const std::vector<std::pair<int64_t, int64_t>> whole{{100, 4}, {50, 3}}, firstOnly{{100, 4}};
  const Case cases[] = {
      // The second piece's run starts 50 clusters from cluster 0, not from the first piece's run.
      {"intact: every piece in cluster order, each run list counted afresh", [](SpreadFile&) {}, true, whole},
      {"list entries out of order", [](SpreadFile& f) { f.list = f.list.mid(96, 32) + f.list.left(96); }, true, whole},
      {"a piece in a record outside the buffer",
       [](SpreadFile& f) { f.list.replace(96, 32, ListEntry(0x80, 4, 5000)); }, true, firstOnly},
      {"the name in a record outside the buffer",
       [](SpreadFile& f) { f.list.replace(32, 32, ListEntry(0x30, 0, 0xFFFFFFFF)); }, false, {}},
      {"the first piece's record names another base record", [](SpreadFile& f) { f.first.base = 39; }, false, {}},
      {"a later piece's record names another base record", [](SpreadFile& f) { f.second.base = 39; }, true, firstOnly},
      {"a later piece's record is in use again", [](SpreadFile& f) { f.second.inUse = true; }, true, firstOnly},
      {"a later piece's record was reused since the list was written",
       [](SpreadFile& f) { f.second.sequence = 7; }, true, firstOnly},
      {"the pieces leave a gap", [](SpreadFile& f) { f.second.attributes = DataPiece(5, OneRun(50, 3)); }, true, firstOnly},
      {"two pieces start at the same cluster",
       [](SpreadFile& f) { f.second.attributes = DataPiece(0, OneRun(50, 3)); }, true, firstOnly},
      {"an entry of length 0 ends the list", [](SpreadFile& f) { f.list.replace(64, 32, ListEntry(0x80, 0, 42, 1, 0)); },
       false, {}},
      {"an entry reaching past the list ends it",
       [](SpreadFile& f) { f.list.replace(96, 32, ListEntry(0x80, 4, 43, 1, 0xFFF8)); }, true, firstOnly},
      {"entries naming the base record itself, over and over",
       [](SpreadFile& f) { for (int i = 0; i < 20; ++i) f.list += ListEntry(0x80, 0, 40); }, true, whole},
      {"an extension record whose attribute runs past its end",
       [](SpreadFile& f) { test::PutLE(f.second.attributes, 4, 0x10000, 4); }, true, firstOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SpreadFile file;
    c.damage(file);
    NtfsState ntfs;
    file.Load(ntfs);
    VolumeContext volume;  // the list is resident: nothing is read from a volume
    DeletedFileRecord found;
    EXPECT_FALSE(ReadDeletedFileRecord(ntfs.MFTBuffer.data(), kRecordBytes, found));
    ASSERT_NE(found.attributeList, 0u);
    const bool listed = ReadDeletedFileThroughList(volume, ntfs, 0, found);
    EXPECT_EQ(listed, c.listed);
    if (!listed) continue;
    EXPECT_EQ(found.name, "spread.bin");
    EXPECT_EQ(found.size, 7 * 4096 - 10);
    TMFTFile restored;
    ASSERT_TRUE(ParseMFTRecord(ntfs, 0, restored));
    std::vector<std::pair<int64_t, int64_t>> runs;
    for (const FileRun& r : restored.Runs) runs.push_back({r.start, r.length});
    EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(restored.FSize, 7 * 4096 - 10);
  }
}

// An extension record is part of a file, never a file: even one holding both
// a name and data is not listed.
TEST(AttributeList, ExtensionRecordsAreNoFiles) {
  Record extension{41, 40, 1, false, {}};
  extension.attributes = FileName("part.bin") + DataPiece(0, OneRun(100, 4), 4096);
  QByteArray bytes = extension.Bytes();
  DeletedFileRecord found;
  EXPECT_FALSE(ReadDeletedFileRecord(reinterpret_cast<uint8_t*>(bytes.data()), kRecordBytes, found));
  extension.base = 0;
  bytes = extension.Bytes();
  EXPECT_TRUE(ReadDeletedFileRecord(reinterpret_cast<uint8_t*>(bytes.data()), kRecordBytes, found));
  EXPECT_EQ(found.name, "part.bin");
}
