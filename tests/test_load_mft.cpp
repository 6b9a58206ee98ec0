// Loading the MFT into memory: budget, chunked reads, stops.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "ntfs/LoadMFT.h"
#include "ntfs/MftExtents.h"
#include "platform/DriveTable.h"
#include "volume/NtfsGeometry.h"

using namespace undelvo;

namespace {

constexpr int64_t kMiB = 1 << 20;

struct Volume : test::TestVolume {
  Volume(const QString& path, uint64_t size)
      : TestVolume(test::ImageDrive(path, 0, size, QStringLiteral("D:"), QStringLiteral("NTFS"), path)) {
    ctx.BytesPerSector = 512;
    ctx.SectorPerCluster = 8;
    ctx.BytesPerCluster = 4096;
    ctx.ClusterCount = int64_t(size / 4096);
  }
};


}  // namespace

TEST(LoadMFT, MemoryBudget) {
  struct Case {
    int64_t mft;
    uint64_t available;
    int64_t budget;
  };
  const Case cases[] = {
      {600 * kMiB, 4096ULL * kMiB, 3896 * kMiB},  // more room than 512 MiB: use it, lose nothing
      {100 * kMiB, 300ULL * kMiB, 512 * kMiB},
      {2048 * kMiB, 1024ULL * kMiB, 824 * kMiB},  // larger than free memory: keep 200 MiB free
      {2048 * kMiB, 150ULL * kMiB, 128 * kMiB},
      {2048 * kMiB, 0, 128 * kMiB},
  };
  for (const Case& c : cases) EXPECT_EQ(MftMemoryBudget(c.mft, c.available), c.budget) << c.mft << " " << c.available;
}

TEST(LoadMFT, RealVolumeLoadsEveryRecordInPlace) {
  QTemporaryDir dir;
  const QString img = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", dir.path(), "ntfs.img");
  Volume v(img, uint64_t(QFileInfo(img).size()));
  ASSERT_TRUE(ReadGeometryNTFS(v.ctx, v.ntfs, dir.filePath("Zantero.ini")));
  ASSERT_TRUE(ReadMFTExtents(v.ctx, v.ntfs));
  test::BegunRun run;
  test::RecordingSink hooks;
  LoadMFT(v.ctx, v.ntfs, run, hooks, 1ULL << 34);
  int64_t clusters = 0;
  for (const ClusterExtent& e : v.ntfs.MFTExtents) clusters += e.length;
  EXPECT_EQ(v.ntfs.MFTByteSize, clusters * 4096);
  ASSERT_EQ(v.ntfs.MFTBuffer.size(), size_t(v.ntfs.MFTByteSize) + 1024);
  for (int k = 0; k < 16; ++k)
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&v.ntfs.MFTBuffer[size_t(k) * 1024]), 4), "FILE") << k;
  EXPECT_EQ(hooks.percents.back(), 100);

  // Stopped before reading: the buffer is sized but stays zero.
  run.RequestStop();
  LoadMFT(v.ctx, v.ntfs, run, hooks, 1ULL << 34);
  EXPECT_EQ(std::count(v.ntfs.MFTBuffer.begin(), v.ntfs.MFTBuffer.end(), 0), std::ptrdiff_t(v.ntfs.MFTBuffer.size()));
}

TEST(LoadMFT, ExtentsThatCannotBeReadWholeAreReadInChunksAndHolesStayZero) {
  QTemporaryDir dir;
  const QString img = dir.filePath("v.img");
  // 16 clusters of 0xAB; the volume claims 20, its last 4 cannot be read (as
  // bad sectors at a disk's end), and the second extent runs into them.
  ASSERT_TRUE(test::MakeSparseFile(img, 16 * 4096, 0, QByteArray(16 * 4096, char(0xAB))));
  Volume v(img, 16 * 4096);
  v.ctx.ClusterCount = 20;
  v.ntfs.MFTExtents = {{0, 2}, {8, 12}, {-5, 3}, {1LL << 40, 2}};
  test::BegunRun run;
  test::RecordingSink hooks;
  LoadMFT(v.ctx, v.ntfs, run, hooks, 1ULL << 34);
  ASSERT_EQ(v.ntfs.MFTExtents.size(), 2u) << "extents outside the volume are dropped";
  ASSERT_EQ(v.ntfs.MFTByteSize, 14 * 4096);
  const auto& b = v.ntfs.MFTBuffer;
  // Whole reads of 12 clusters fail; halves of 6 read: the first half holds
  // data, the second reaches past the end and stays zero.
  EXPECT_EQ(std::count(b.begin(), b.begin() + 8 * 4096, uint8_t(0xAB)), 8 * 4096);
  EXPECT_EQ(std::count(b.begin() + 8 * 4096, b.end(), 0), std::ptrdiff_t(b.size() - 8 * 4096));
  EXPECT_EQ(hooks.percents, (std::vector<int>{100, 50, 100}));
}

// A run list's claims are held to the volume: extents past its end are cut
// there, and together they never hold more than the volume's clusters, so
// no claim can overflow a size or ask for the memory of a terabyte.
TEST(LoadMFT, ExtentsAreHeldToTheVolume) {
  QTemporaryDir dir;
  const QString img = dir.filePath("v.img");
  ASSERT_TRUE(test::MakeSparseFile(img, 64 * 4096));
  const struct {
    const char* what;
    std::vector<ClusterExtent> extents;
    int64_t clusters;  // the MFT's size after the bounds
  } cases[] = {
      {"a run past the end is cut there", {{0, 2}, {60, 1LL << 36}}, 6},
      {"a run of 2^51 clusters", {{4, 1LL << 51}}, 60},
      {"runs that claim more than the volume holds together", {{0, 40}, {10, 40}, {20, 40}}, 64},
      {"a start of INT64_MAX", {{INT64_MAX, INT64_MAX}, {1, 1}}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Volume v(img, 64 * 4096);
    v.ntfs.MFTExtents = c.extents;
    test::BegunRun run;
    test::RecordingSink hooks;
    LoadMFT(v.ctx, v.ntfs, run, hooks, 1ULL << 34);
    EXPECT_EQ(v.ntfs.MFTByteSize, c.clusters * 4096);
    EXPECT_EQ(v.ntfs.MFTBuffer.size(), size_t(c.clusters * 4096 + 1024));
  }
}

TEST(LoadMFT, AnMftOverTheBudgetLosesTheTailOfItsLongestExtent) {
  QTemporaryDir dir;
  const QString img = dir.filePath("v.img");
  ASSERT_TRUE(test::MakeSparseFile(img, 160 * kMiB));
  Volume v(img, 160 * kMiB);
  v.ntfs.MFTExtents = {{0, 100}, {200, 40000}};  // 156.6 MiB, with no free memory to speak of
  test::BegunRun run;
  test::RecordingSink hooks;
  LoadMFT(v.ctx, v.ntfs, run, hooks, 0);
  EXPECT_EQ(v.ntfs.MFTExtents[0].length, 100);
  EXPECT_EQ(v.ntfs.MFTExtents[1].length, (128 * kMiB - 1 - 100 * 4096) / 4096);
  EXPECT_LT(v.ntfs.MFTByteSize, 128 * kMiB);
}
