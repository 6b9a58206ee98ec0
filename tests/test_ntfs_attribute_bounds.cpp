// Walks over an MFT record's attributes on crafted records: an attribute
// shorter than its common header, or one that does not fit the record, ends
// the walk, and no header byte is read past the record's end. Each record
// lies in a buffer of exactly its size, so a build with AddressSanitizer
// names any read beyond it.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "ntfs/MftExtents.h"
#include "ntfs/MftRecord.h"
#include "ntfs/NtfsBitmap.h"
#include "ntfs/RestoreFileNTFS.h"
#include "volume/NtfsGeometry.h"

using namespace undelvo;

namespace {

constexpr qsizetype kRecordBytes = 1024;
constexpr qsizetype kTail = 256;  // where the attributes after the name begin

void PutAttribute(QByteArray& r, qsizetype at, uint32_t type, uint32_t length) {
  test::PutLE(r, at, type, 4);
  test::PutLE(r, at + 4, length, 4);
}

// A deleted file's base record of 1024 bytes: standard information at 56, the
// name "a.txt" at 152, then eight bytes of resident data at 256 and the end
// marker. The update sequence and the stride tails are 0, so the fix-up holds
// whatever the attributes put there.
QByteArray SoundRecord() {
  QByteArray r(kRecordBytes, '\0');
  r.replace(0, 4, "FILE");
  test::PutLE(r, 4, 48, 2);
  test::PutLE(r, 6, 3, 2);
  test::PutLE(r, 16, 1, 2);
  test::PutLE(r, 20, 56, 2);
  PutAttribute(r, 56, 0x10, 96);  // standard information: 72 bytes of content
  test::PutLE(r, 56 + 16, 72, 4);
  test::PutLE(r, 56 + 20, 24, 2);
  PutAttribute(r, 152, 0x30, 104);  // file name: 66 bytes and 5 characters
  test::PutLE(r, 152 + 16, 76, 4);
  test::PutLE(r, 152 + 20, 24, 2);
  test::PutLE(r, 176, 5, 6);  // parent: the root
  r[176 + 64] = 5;
  r[176 + 65] = 1;
  for (int i = 0; i < 5; ++i) test::PutLE(r, 176 + 66 + 2 * i, uint8_t("a.txt"[i]), 2);
  PutAttribute(r, kTail, 0x80, 32);  // resident data
  test::PutLE(r, kTail + 16, 8, 4);
  test::PutLE(r, kTail + 20, 24, 2);
  r.replace(kTail + 24, 8, "content!");
  PutAttribute(r, kTail + 32, 0xFFFFFFFF, 0);
  return r;
}

// The sound record with its attributes from 256 on replaced by `attributes`
// and the rest of the record zero.
QByteArray WithTail(const QByteArray& attributes) {
  QByteArray r = SoundRecord();
  r.replace(kTail, kRecordBytes - kTail, QByteArray(kRecordBytes - kTail, '\0'));
  r.replace(kTail, attributes.size(), attributes);
  return r;
}

QByteArray Header(uint32_t type, uint32_t length, qsizetype size) {
  QByteArray a(size, '\0');
  test::PutLE(a, 0, type, 4);
  if (size >= 8) test::PutLE(a, 4, length, 4);
  return a;
}

const QByteArray kEndMarker("\xFF\xFF\xFF\xFF\0\0\0\0", 8);

struct Crafted {
  const char* what;
  QByteArray record;
};

// Records that no walk may take: each one is damaged in its attributes.
std::vector<Crafted> CraftedRecords() {
  // A filler attribute (an object id's type) that reaches to `end`.
  auto filler = [](qsizetype end) { return Header(0x40, uint32_t(end - kTail), end - kTail); };
  QByteArray wideLength = SoundRecord();
  test::PutLE(wideLength, 56 + 4, 0x10000 + 96, 4);  // reads as 96 when cut to 16 bits
  return {
      {"a data attribute of length 8", WithTail(Header(0x80, 8, 8) + kEndMarker)},
      {"a data attribute of length 15", WithTail(Header(0x80, 15, 15) + kEndMarker)},
      {"a data attribute of length 8 ending at the record's end", WithTail(filler(1016) + Header(0x80, 8, 8))},
      {"a header cut by the record's end", WithTail(filler(1020) + Header(0x80, 0, 4))},
      {"a 32-bit length whose low 16 bits look sane", wideLength},
  };
}

std::vector<uint8_t> Bytes(const QByteArray& record) {
  return std::vector<uint8_t>(record.begin(), record.end());
}

// A volume of 64 clusters of 4096 bytes whose MFT starts at cluster 4 with
// `record` as record 0 (the MFT's own) and record 6 (the cluster bitmap's).
QString VolumeWith(const QTemporaryDir& dir, const QByteArray& record) {
  QByteArray v(64 * 4096, '\0');
  v.replace(3, 8, "NTFS    ");
  test::PutLE(v, 11, 512, 2);
  v[13] = 8;
  test::PutLE(v, 40, 64 * 8, 8);
  test::PutLE(v, 48, 4, 8);
  v.replace(4 * 4096, kRecordBytes, record);
  v.replace(4 * 4096 + 6 * kRecordBytes, kRecordBytes, record);
  const QString path = dir.filePath("v.img");
  return test::MakeSparseFile(path, v.size(), 0, v) ? path : QString();
}

// Each walk over a record's attributes, on `record`: whether it took the record.
struct Walks {
  bool walk = false, deletedFile = false, restore = false, mftExtents = false, bitmap = false;
};

Walks WalkAll(const QByteArray& record) {
  Walks w;
  std::vector<uint8_t> bytes = Bytes(record);
  RecordAttributes attrs;
  w.walk = WalkAttributes(bytes.data(), bytes.size(), attrs);
  DeletedFileRecord found;
  w.deletedFile = ReadDeletedFileRecord(bytes.data(), bytes.size(), found);

  NtfsState loaded;
  loaded.MFTRecordSize = int32_t(kRecordBytes);
  loaded.MFTByteSize = kRecordBytes;
  loaded.MFTBuffer.assign(size_t(kRecordBytes), 0);
  std::memcpy(loaded.MFTBuffer.data(), record.constData(), size_t(kRecordBytes));
  TMFTFile file;
  w.restore = ParseMFTRecord(loaded, 0, file) && file.HasData;

  QTemporaryDir dir;
  const QString image = VolumeWith(dir, record);
  EXPECT_FALSE(image.isEmpty());
  test::TestVolume v(test::ImageDrive(image, 0, 64 * 4096, "D:", "NTFS", "crafted"));
  EXPECT_TRUE(ReadGeometryNTFS(v.ctx, v.ntfs, dir.filePath("Zantero.ini")));
  w.mftExtents = ReadMFTExtents(v.ctx, v.ntfs);
  v.ntfs.MFTRecordSize = int32_t(kRecordBytes);
  ClusterBitmap bitmap;
  w.bitmap = LoadClusterBitmap(v.ctx, v.ntfs, bitmap);
  return w;
}

}  // namespace

TEST(AttributeWalks, TheSoundRecordIsTakenByEveryWalk) {
  const Walks w = WalkAll(SoundRecord());
  EXPECT_TRUE(w.walk);
  EXPECT_TRUE(w.deletedFile);
  EXPECT_TRUE(w.restore);
  EXPECT_TRUE(w.mftExtents);
  EXPECT_TRUE(w.bitmap);
  std::vector<uint8_t> bytes = Bytes(SoundRecord());
  DeletedFileRecord found;
  ASSERT_TRUE(ReadDeletedFileRecord(bytes.data(), bytes.size(), found));
  EXPECT_EQ(found.name, "a.txt");
  EXPECT_EQ(found.size, 8);
}

TEST(AttributeWalks, AnAttributeShorterThanItsHeaderOrBeyondTheRecordEndsTheWalk) {
  for (const Crafted& c : CraftedRecords()) {
    SCOPED_TRACE(c.what);
    const Walks w = WalkAll(c.record);
    EXPECT_FALSE(w.walk);
    EXPECT_FALSE(w.deletedFile);
    EXPECT_FALSE(w.restore);
    EXPECT_FALSE(w.mftExtents);
    EXPECT_FALSE(w.bitmap);
  }
}

// Attribute types are 32 bits: one whose low byte looks like a file name's
// is a later type, past those the walk looks at, and ends it before what
// follows (here an attribute of length 0) is read.
TEST(AttributeWalks, TypesAreReadWhole) {
  QByteArray record = SoundRecord();
  PutAttribute(record, kTail + 32, 0x130, 16);
  PutAttribute(record, kTail + 48, 0x80, 0);
  std::vector<uint8_t> bytes = Bytes(record);
  RecordAttributes attrs;
  EXPECT_TRUE(WalkAttributes(bytes.data(), bytes.size(), attrs));
  EXPECT_EQ(attrs.fileName, 152u);
  EXPECT_EQ(attrs.data, size_t(kTail));
}
