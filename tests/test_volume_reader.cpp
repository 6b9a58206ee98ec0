// Raw reads through the drive table and the file-system probe.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "platform/DriveTable.h"
#include "volume/ProbeFileSystem.h"
#include "volume/ReadSectors.h"

using namespace undelvo;

namespace {

struct Volume : test::TestVolume {
  Volume(const QString& path, uint64_t offset, uint64_t size, const QString& fsName = {})
      : TestVolume(test::ImageDrive(path, offset, size, QStringLiteral("C:"), fsName)) {
    ctx.BytesPerSector = 512;
  }
};

QByteArray Marked(const char* text, int size = 512) {
  QByteArray b(size, '\0');
  b.replace(0, int(strlen(text)), text);
  return b;
}

}  // namespace

TEST(ReadSectors, ReadsAtSectorTimesSectorSizeFromTheVolumeStart) {
  QTemporaryDir dir;
  const QString img = dir.filePath("disk.img");
  // A volume at byte 65536 of its image; sector 2^23 of 512 bytes lies 4 GiB
  // into the volume, past what a 32-bit position can hold.
  const qint64 base = 65536, far = qint64(1) << 32;
  ASSERT_TRUE(test::MakeSparseFile(img, base + far + 4096, base, Marked("BOOT")));
  {
    QFile f(img);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(base + far);
    f.write(Marked("FAR"));
  }
  Volume v(img, uint64_t(base), uint64_t(far + 4096));
  std::vector<char> buf(512);
  ASSERT_TRUE(ReadSectors(v.ctx, 0, buf.data(), 512));
  EXPECT_STREQ(buf.data(), "BOOT");
  ASSERT_TRUE(ReadSectors(v.ctx, uint64_t(1) << 23, buf.data(), 512));
  EXPECT_STREQ(buf.data(), "FAR");
  v.ctx.BytesPerSector = 4096;  // the same byte position with 4096-byte sectors
  ASSERT_TRUE(ReadSectors(v.ctx, uint64_t(1) << 20, buf.data(), 512));
  EXPECT_STREQ(buf.data(), "FAR");
}

TEST(ReadSectors, FailuresLeaveTheBufferZero) {
  QTemporaryDir dir;
  const QString img = dir.filePath("small.img");
  ASSERT_TRUE(test::MakeSparseFile(img, 8192, 0, QByteArray(8192, 'x')));
  struct Case {
    const char* what;
    QString path;
    uint64_t volumeSize;
    QString driveRoot;
    uint64_t sector;
    int64_t count;
  };
  const Case cases[] = {
      {"past the volume's end", img, 4096, "C:", 7, 1024},
      {"past the image's end", img, 1 << 20, "C:", 16, 512},
      {"sector number overflowing", img, 8192, "C:", UINT64_MAX / 2, 512},
      {"unknown drive", img, 8192, "D:", 0, 512},
      {"missing source", dir.filePath("gone.img"), 8192, "C:", 0, 512},
  };
  for (const Case& c : cases) {
    Volume v(c.path, 0, c.volumeSize);
    v.ctx.DriveRoot = c.driveRoot;
    std::vector<char> buf(size_t(c.count), '\x55');
    EXPECT_FALSE(ReadSectors(v.ctx, c.sector, buf.data(), c.count)) << c.what;
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0), c.count) << c.what;
  }
  Volume ok(img, 0, 8192);
  std::vector<char> buf(8192);
  EXPECT_TRUE(ReadSectors(ok.ctx, 0, buf.data(), 8192)) << "the whole volume is readable";
}

TEST(ProbeFileSystem, BootSectorMarkers) {
  auto sector = [](std::initializer_list<std::pair<int, const char*>> fields) {
    QByteArray b(512, '\0');
    b[0] = char(0xEB);
    b[1] = 0x3C;
    b[2] = char(0x90);
    for (const auto& [at, text] : fields) b.replace(at, int(strlen(text)), text);
    return b;
  };
  struct Case {
    const char* what;
    QByteArray bytes;
    uint8_t kind;
  };
  const Case cases[] = {
      {"FAT16", sector({{3, "mkfs.fat"}, {54, "FAT16   "}}), 16},
      {"FAT12 counts as FAT", sector({{3, "MSDOS5.0"}, {54, "FAT12   "}}), 16},
      {"FAT32", sector({{3, "MSWIN4.1"}, {82, "FAT32   "}}), 32},
      {"NTFS", sector({{3, "NTFS    "}}), 64},
      {"NTFS wins over a FAT marker", sector({{3, "NTFS    "}, {54, "FAT16   "}}), 64},
      {"exFAT", sector({{3, "EXFAT   "}}), 0},
      {"FAT outside its fields", sector({{90, "FAT32 NTFS"}}), 0},
      {"blank", QByteArray(512, '\0'), 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FsKindFromBootSector(reinterpret_cast<const uint8_t*>(c.bytes.constData()), c.bytes.size()), c.kind)
        << c.what;
  EXPECT_EQ(FsKindFromBootSector(reinterpret_cast<const uint8_t*>("NTFS"), 4), 0) << "short buffer";
}

TEST(ProbeFileSystem, SystemNameDecidesElseTheBootSectorOfARealVolume) {
  QTemporaryDir dir;
  const QString fat32 = dir.filePath("fat32.img");
  ASSERT_TRUE(test::Shell(QStringLiteral("mkfs.fat -C -F 32 '%1' 40000 >/dev/null").arg(fat32)));
  const uint64_t size = uint64_t(QFileInfo(fat32).size());

  const std::pair<const char*, uint8_t> named[] = {{"FAT", 16}, {"FAT32", 32}, {"NTFS", 64}};
  for (const auto& [name, kind] : named) {
    Volume v(dir.filePath("no-such-file"), 0, size, QString::fromLatin1(name));
    EXPECT_EQ(ProbeFileSystem(v.ctx, QStringLiteral("C:\\")), kind) << name << " needs no read";
  }

  Volume unnamed(fat32, 0, size, QStringLiteral("exfat"));
  unnamed.ctx.DriveRoot.clear();
  unnamed.ctx.BytesPerSector = 0;
  EXPECT_EQ(ProbeFileSystem(unnamed.ctx, QStringLiteral("C:")), 32);
  EXPECT_EQ(unnamed.ctx.DriveRoot, QStringLiteral("C:"));
  EXPECT_EQ(unnamed.ctx.BytesPerSector, 512);

  Volume unreadable(dir.filePath("no-such-file"), 0, size, QString());
  EXPECT_EQ(ProbeFileSystem(unreadable.ctx, QStringLiteral("C:")), 0);
  EXPECT_EQ(ProbeFileSystem(unreadable.ctx, QString()), 0);
}
