// NTFS geometry, its cache, and the MFT's extents from its own record.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "TestSupport.h"
#include "ntfs/MftExtents.h"
#include "ntfs/Unit0NTFS.h"
#include "platform/DriveTable.h"
#include "volume/NtfsGeometry.h"

using namespace undelvo;

namespace {

struct Volume : test::TestVolume {
  Volume(const QString& path, uint64_t offset, uint64_t size, const QString& id = QStringLiteral("vol-1"))
      : TestVolume(test::ImageDrive(path, offset, size, QStringLiteral("D:"), QStringLiteral("NTFS"), id)) {}
};

using test::PutLE;

QByteArray BootSector(int bytesPerSector, int clusterCode, uint64_t sectors, uint64_t mftStart) {
  QByteArray b(512, '\0');
  b.replace(3, 8, "NTFS    ");
  PutLE(b, 11, uint64_t(bytesPerSector), 2);
  PutLE(b, 13, uint64_t(clusterCode), 1);
  PutLE(b, 40, sectors, 8);
  PutLE(b, 48, mftStart, 8);
  return b;
}

std::vector<DataRun> Decode(const std::vector<uint8_t>& bytes) {
  std::vector<DataRun> runs;
  DecodeRunList(bytes.data(), bytes.size(), 0, [&](const DataRun& r) { runs.push_back(r); });
  return runs;
}

// What The Sleuth Kit says of a volume: sector and cluster size, the MFT's
// first cluster, and the clusters of the MFT's data.
struct PeerView {
  int sectorSize = 0;
  int64_t clusterSize = 0, mftStart = 0;
  std::set<int64_t> mftClusters;
};

PeerView AskSleuthKit(const QString& image, int sectorOffset) {
  PeerView v;
  const QStringList off{"-o", QString::number(sectorOffset)};
  const auto fs = test::Run("fsstat", off + QStringList{image});
  const QString text = QString::fromUtf8(fs.out);
  auto field = [&](const char* name) {
    const auto m = QRegularExpression(QString::fromLatin1(name) + ": (\\d+)").match(text);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
  };
  v.sectorSize = int(field("Sector Size"));
  v.clusterSize = field("Cluster Size");
  v.mftStart = field("First Cluster of MFT");
  const QString istat = QString::fromUtf8(test::Run("istat", off + QStringList{image, "0"}).out);
  const qsizetype data = istat.indexOf("Type: $DATA");
  const qsizetype next = istat.indexOf("Type:", data + 1);
  const QString list = istat.mid(istat.indexOf('\n', data), next < 0 ? -1 : next - istat.indexOf('\n', data));
  for (const QString& n : list.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
    if (n.toLongLong() > 0) v.mftClusters.insert(n.toLongLong());
  return v;
}

}  // namespace

TEST(DecodeRunList, RunsOffsetsAndEnds) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<std::pair<int64_t, int64_t>> runs;
  };
  const Case cases[] = {
      {"one run", {0x31, 0x40, 0x00, 0x00, 0x0C, 0x00}, {{786432, 64}}},
      {"negative two-byte offset", {0x21, 0x10, 0x00, 0x01, 0x21, 0x08, 0x00, 0xFF, 0x00}, {{256, 16}, {0, 8}}},
      {"negative one-byte offset", {0x21, 0x10, 0x00, 0x01, 0x11, 0x08, 0x80, 0x00}, {{256, 16}, {128, 8}}},
      // A hole (no offset field) is handed on; the run after it counts from the run before it.
      {"sparse run in the list", {0x31, 0x10, 0x00, 0x00, 0x01, 0x01, 0x08, 0x11, 0x01, 0x05, 0x00},
       {{65536, 16}, {-1, 8}, {65541, 1}}},
      {"start beyond 32 bits", {0x51, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}, {{int64_t(1) << 32, 2}}},
      {"run reaching past the buffer", {0x21, 0x10, 0x00, 0x01, 0x33, 0x01}, {{256, 16}}},
      {"length field wider than 8 bytes", {0x19, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x00}, {}},
      {"no end marker", {0x11, 0x04, 0x10}, {{16, 4}}},
  };
  for (const Case& c : cases) {
    const auto runs = Decode(c.bytes);
    ASSERT_EQ(runs.size(), c.runs.size()) << c.what;
    for (size_t i = 0; i < runs.size(); ++i) {
      const bool hole = c.runs[i].first < 0;  // -1 stands for a sparse run
      EXPECT_EQ(runs[i].sparse, hole) << c.what;
      EXPECT_EQ(runs[i].offsetBytes == 0, hole) << c.what;
      if (!hole) {
        EXPECT_EQ(runs[i].start, c.runs[i].first) << c.what;
      }
      EXPECT_EQ(runs[i].length, c.runs[i].second) << c.what;
    }
  }
}

TEST(NtfsGeometry, BootSectorFields) {
  struct Case {
    const char* what;
    QByteArray boot;
    bool ok;
    int bytesPerSector, sectorPerCluster;
  };
  const Case cases[] = {
      {"sectors per cluster 0 means 8", BootSector(512, 0, 40000, 4), true, 512, 8},
      {"4096-byte sectors", BootSector(4096, 1, 5000, 4), true, 4096, 1},
      {"2 MiB clusters (0xF4 = 2^12 sectors)", BootSector(512, 0xF4, 1 << 21, 4), true, 512, 4096},
      {"sector size 256", BootSector(256, 8, 40000, 4), false, 0, 0},
      {"sector size not a power of two", BootSector(1000, 8, 40000, 4), false, 0, 0},
      {"MFT at cluster 0", BootSector(512, 8, 40000, 0), false, 0, 0},
  };
  for (const Case& c : cases) {
    QTemporaryDir dir;
    const QString img = dir.filePath("v.img");
    ASSERT_TRUE(test::MakeSparseFile(img, 1 << 20, 0, c.boot));
    Volume v(img, 0, 1 << 20);
    EXPECT_EQ(ReadGeometryNTFS(v.ctx, v.ntfs, dir.filePath("Zantero.ini")), c.ok) << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(v.ctx.BytesPerSector, c.bytesPerSector) << c.what;
    EXPECT_EQ(v.ctx.SectorPerCluster, c.sectorPerCluster) << c.what;
    EXPECT_EQ(v.ctx.BytesPerCluster, int64_t(c.bytesPerSector) * c.sectorPerCluster) << c.what;
    EXPECT_EQ(ClusterToSector(v.ctx, 3), uint64_t(3 * c.sectorPerCluster)) << c.what;
  }
}

// The cache answers for the boot sector its section was read from, byte for
// byte: never for a clone or crafted copy that shares the serial number, and
// not from a section written without the checksum (older versions).
TEST(NtfsGeometry, CacheAnswersForTheSameBootSectorOnly) {
  QTemporaryDir dir;
  const QString sound = dir.filePath("sound.img"), copy = dir.filePath("copy.img"), cache = dir.filePath("cfg/Zantero.ini");
  ASSERT_TRUE(test::MakeSparseFile(sound, 1 << 20, 0, BootSector(512, 8, 6000000000ULL, 786432)));
  ASSERT_TRUE(test::MakeSparseFile(copy, 1 << 20, 0, BootSector(512, 1, 2048, 16)));
  // The MFT's start a scan of `image` reads as drive D:, -1 when it reads none.
  auto mftStart = [&](const QString& image, const QString& id = QStringLiteral("vol-1")) {
    Volume v(image, 0, 1 << 20, id);
    return ReadGeometryNTFS(v.ctx, v.ntfs, cache) ? v.ntfs.MFTStart : -1;
  };
  auto cacheText = [&] {
    QFile f(cache);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  };
  auto setCacheText = [&](const QString& text) {
    QFile f(cache);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
  };

  Volume first(sound, 0, 1 << 20);
  ASSERT_TRUE(ReadGeometryNTFS(first.ctx, first.ntfs, cache));
  EXPECT_EQ(first.ctx.SectorCount, 6000000000LL) << "sector counts beyond 32 bits stay whole";
  const QString written = cacheText();
  const QString oldKeys =
      "[D:]\nSectorPerCluster=8\nBytesPerCluster=4096\nSectorCount=6000000000\nMFTStart=786432\n"
      "BytesPerSector=512\nClusterCount=750000000\nVolumeId=vol-1\n";
  EXPECT_TRUE(written.startsWith(oldKeys)) << written.toStdString();
  EXPECT_TRUE(QRegularExpression("^BootChecksum=[0-9a-f]{16}\n$").match(written.mid(oldKeys.size())).hasMatch())
      << written.toStdString();

  // The second scan of the same image takes the section: a value changed in it is what it reads.
  QString doctored = written;
  setCacheText(doctored.replace("MFTStart=786432", "MFTStart=786433"));
  EXPECT_EQ(mftStart(sound), 786433);

  // One byte of the boot sector that no geometry field holds makes it another boot sector.
  QByteArray changed = BootSector(512, 8, 6000000000ULL, 786432);
  changed[100] = 1;
  ASSERT_TRUE(test::MakeSparseFile(sound, 1 << 20, 0, changed));
  EXPECT_EQ(mftStart(sound), 786432);
  ASSERT_TRUE(test::MakeSparseFile(sound, 1 << 20, 0, BootSector(512, 8, 6000000000ULL, 786432)));

  // Another image with the same serial number and letter reads its own boot
  // sector, and so does the first one after it.
  EXPECT_EQ(mftStart(copy), 16);
  EXPECT_TRUE(cacheText().contains("MFTStart=16\n"));
  EXPECT_EQ(mftStart(sound), 786432);
  EXPECT_EQ(mftStart(copy), 16);

  // A section without the checksum is not trusted, and is written anew.
  setCacheText(QString(oldKeys).replace("MFTStart=786432", "MFTStart=99"));
  EXPECT_EQ(mftStart(sound), 786432);
  EXPECT_EQ(cacheText(), written);

  // A section of another volume is not taken either; a volume whose boot
  // sector is gone gets no geometry from the cache.
  EXPECT_EQ(mftStart(copy, QStringLiteral("vol-2")), 16);
  ASSERT_TRUE(test::MakeSparseFile(copy, 1 << 20));
  EXPECT_EQ(mftStart(copy, QStringLiteral("vol-2")), -1);
}

TEST(MftExtents, RecordSizeFollowsTheFixupStrideOn4096ByteSectors) {
  // A 1024-byte MFT record (update sequence count 3) on a 4096-byte-sector
  // volume; its run list crosses the first stride, whose last two bytes only
  // the fix-up restores.
  QByteArray volume(64 * 4096, '\0');
  volume.replace(0, 512, BootSector(4096, 1, 64, 2));
  QByteArray rec(1024, '\0');
  rec.replace(0, 4, "FILE");
  PutLE(rec, 4, 48, 2);  // update sequence array offset
  PutLE(rec, 6, 3, 2);   // count
  PutLE(rec, 20, 56, 2);
  PutLE(rec, 56, 0x10, 4);  // standard information, 432 bytes long to push the data attribute to 488
  PutLE(rec, 60, 432, 2);
  const int data = 488;
  PutLE(rec, data, 0x80, 4);
  PutLE(rec, data + 4, 80, 2);
  rec[data + 8] = 1;  // non-resident
  PutLE(rec, data + 32, 20, 2);
  const uint8_t runs[] = {0x11, 0x04, 0x02, 0x21, 0x08, 0x00, 0x01, 0x00};  // (2,4) then (258,8)
  for (int i = 0; i < 8; ++i) rec[data + 20 + i] = char(runs[i]);
  PutLE(rec, data + 80, 0xFFFFFFFF, 4);
  // Move the real stride tails into the array and stamp the sequence number.
  rec[48] = 0x07; rec[49] = 0x00;
  rec[50] = rec[510]; rec[51] = rec[511];
  rec[52] = rec[1022]; rec[53] = rec[1023];
  rec[510] = 0x07; rec[511] = 0x00; rec[1022] = 0x07; rec[1023] = 0x00;
  volume.replace(2 * 4096, 1024, rec);

  QTemporaryDir dir;
  const QString img = dir.filePath("v.img");
  ASSERT_TRUE(test::MakeSparseFile(img, volume.size(), 0, volume));
  Volume v(img, 0, uint64_t(volume.size()));
  ASSERT_TRUE(ReadGeometryNTFS(v.ctx, v.ntfs, dir.filePath("Zantero.ini")));
  ASSERT_TRUE(ReadMFTExtents(v.ctx, v.ntfs));
  EXPECT_EQ(v.ntfs.MFTRecordSize, 1024);
  ASSERT_EQ(v.ntfs.MFTExtents.size(), 2u);
  EXPECT_EQ(v.ntfs.MFTExtents[0].start, 2);
  EXPECT_EQ(v.ntfs.MFTExtents[1].start, 258);
  EXPECT_EQ(v.ntfs.MFTExtents[1].length, 8);

  // A record whose attribute length is 0 ends the walk instead of looping.
  PutLE(volume, 2 * 4096 + 60, 0, 2);
  ASSERT_TRUE(test::MakeSparseFile(img, volume.size(), 0, volume));
  Volume broken(img, 0, uint64_t(volume.size()), QStringLiteral("vol-3"));
  ASSERT_TRUE(ReadGeometryNTFS(broken.ctx, broken.ntfs, dir.filePath("Zantero.ini")));
  EXPECT_FALSE(ReadMFTExtents(broken.ctx, broken.ntfs));
}

TEST(MftExtents, RealVolumesAgreeWithTheSleuthKit) {
  struct Case {
    QString gz;
    int sectorOffset;
    bool peerReadsIt;  // The Sleuth Kit declines clusters of 2 MiB
  };
  std::vector<Case> cases{{test::SourceDir() + "/tests/data/ntfs.img.gz", 0, true}};
  for (const char* anchor : {"ntfs-2m.raw.gz", "ntfs-lastaccess.raw.gz"})
    if (QFile::exists(test::AnchorsDir() + "/" + anchor))
      cases.push_back({test::AnchorsDir() + "/" + anchor, 128, !QString(anchor).contains("2m")});
  QTemporaryDir dir;
  for (const Case& c : cases) {
    const QString img = test::Unpack(c.gz, dir.path(), "v.img");
    ASSERT_FALSE(img.isEmpty());
    PeerView peer = AskSleuthKit(img, c.sectorOffset);
    if (!c.peerReadsIt) {
      peer.sectorSize = 512;
      peer.clusterSize = 2 << 20;
    }
    ASSERT_GT(peer.clusterSize, 0) << c.gz.toStdString();
    const uint64_t offset = uint64_t(c.sectorOffset) * 512;
    Volume v(img, offset, uint64_t(QFileInfo(img).size()) - offset, c.gz);
    ASSERT_TRUE(ReadGeometryNTFS(v.ctx, v.ntfs, dir.filePath("Zantero.ini"))) << c.gz.toStdString();
    EXPECT_EQ(v.ctx.BytesPerSector, peer.sectorSize);
    EXPECT_EQ(v.ctx.BytesPerCluster, peer.clusterSize);
    if (c.peerReadsIt) {
      EXPECT_EQ(v.ntfs.MFTStart, peer.mftStart);
    }
    ASSERT_TRUE(ReadMFTExtents(v.ctx, v.ntfs)) << c.gz.toStdString();
    EXPECT_EQ(v.ntfs.MFTRecordSize, 1024);
    std::set<int64_t> ours;
    for (const ClusterExtent& e : v.ntfs.MFTExtents)
      for (int64_t k = 0; k < e.length; ++k) ours.insert(e.start + k);
    for (int64_t cluster : peer.mftClusters) EXPECT_TRUE(ours.count(cluster)) << c.gz.toStdString() << " " << cluster;
    EXPECT_FALSE(ours.empty());
  }
}
