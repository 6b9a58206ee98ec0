// undelvo-cli drives, run as a whole process on real images.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace undelvo;
using test::CliPath;
using test::Run;

namespace {

// Runs the program with its settings in a scratch folder.
test::CommandResult Cli(const QTemporaryDir& config, const QStringList& args) {
  return test::RunCli(config.path(), args);
}

QJsonArray DrivesJson(const QTemporaryDir& config, const QStringList& images) {
  QStringList args{"drives", "--images-only", "--json"};
  for (const QString& i : images) args << "--image" << i;
  const auto r = Cli(config, args);
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  return QJsonDocument::fromJson(r.out).object()["drives"].toArray();
}

}  // namespace

TEST(CliDrives, ListsTheNtfsPartitionOfEachWindowsImage) {
  const QDir anchors(test::AnchorsDir());
  const QStringList packed = anchors.entryList({"ntfs-*.raw.gz"}, QDir::Files, QDir::Name);
  if (packed.isEmpty()) GTEST_SKIP() << "anchors folder absent (../shared/anchors)";
  QTemporaryDir scratch, config;
  QStringList images;
  for (const QString& gz : packed) {
    images << test::Unpack(anchors.filePath(gz), scratch.path(), QString(gz).remove(".gz"));
    ASSERT_FALSE(images.last().isEmpty());
  }
  const QJsonArray drives = DrivesJson(config, images);
  ASSERT_EQ(drives.size(), images.size());
  for (int i = 0; i < drives.size(); ++i) {
    const QJsonObject d = drives[i].toObject();
    EXPECT_EQ(d["fs"].toString(), "NTFS");
    EXPECT_EQ(d["kind"].toInt(), 64);
    EXPECT_EQ(d["offset"].toInteger(), 128 * 512);
    EXPECT_EQ(d["source"].toString(), images[i] + "#1");
    EXPECT_EQ(d["drive"].toString(), QString(QChar('C' + i)) + ":");
    EXPECT_GT(d["size"].toInteger(), 200LL << 20);
    EXPECT_FALSE(d["removable"].toBool());
  }
  const auto text = Cli(config, {"drives", "--images-only", "--image", images[0]});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_TRUE(text.out.startsWith("C: (NTFS)  " + images[0].toUtf8() + "#1  ")) << text.out.toStdString();
}

TEST(CliDrives, RefusesMissingImagesAndBadUsage) {
  QTemporaryDir config, scratch;
  const QString missing = scratch.filePath("no-such.img");
  struct Case {
    QStringList args;
    QString stderrHolds;
  };
  const Case cases[] = {
      {{"drives", "--images-only", "--image", missing}, "no-such.img"},
      {{"drives", "--images-only", "--image", scratch.path()}, scratch.path()},
      {{"drives", "--image"}, "--image"},
      {{"drives", "--bogus"}, "--bogus"},
      {{"frobnicate"}, "frobnicate"},
      {{}, "usage"},
  };
  for (const Case& c : cases) {
    const auto r = Cli(config, c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains(c.stderrHolds.toUtf8())) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
  }
}

TEST(CliDrives, AnImageWithoutFatOrNtfsIsNamedOnStderr) {
  QTemporaryDir config, scratch;
  const QString blank = scratch.filePath("blank.img");
  ASSERT_TRUE(test::MakeSparseFile(blank, 8 << 20));
  const auto r = Cli(config, {"drives", "--images-only", "--image", blank});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains(blank.toUtf8() + ": no FAT or NTFS volume found")) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
  const auto json = Cli(config, {"drives", "--images-only", "--json", "--image", blank});
  const QJsonObject o = QJsonDocument::fromJson(json.out).object();
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_TRUE(o["drives"].toArray().isEmpty());
  EXPECT_EQ(o["errors"].toArray().size(), 1);
}

TEST(CliDrives, ListsTheFixtureVolumesWithTheirKinds) {
  struct Case {
    const char* image;
    const char* fs;
    int kind;
    bool partitioned;
  };
  const Case cases[] = {
      {"fat16.img", "FAT", 16, false},
      {"fat32-mbr.img", "FAT32", 32, true},
      {"ntfs.img", "NTFS", 64, false},
  };
  QTemporaryDir scratch, config;
  QStringList images;
  for (const Case& c : cases) {
    images << test::Unpack(test::SourceDir() + "/tests/data/" + c.image + ".gz", scratch.path(), c.image);
    ASSERT_FALSE(images.last().isEmpty()) << c.image;
  }
  const QJsonArray drives = DrivesJson(config, images);
  ASSERT_EQ(drives.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const QJsonObject d = drives[i].toObject();
    EXPECT_EQ(d["fs"].toString(), cases[i].fs) << cases[i].image;
    EXPECT_EQ(d["kind"].toInt(), cases[i].kind) << cases[i].image;
    EXPECT_EQ(d["source"].toString(), images[i] + (cases[i].partitioned ? "#1" : "")) << cases[i].image;
    EXPECT_EQ(d["offset"].toInteger() > 0, cases[i].partitioned) << cases[i].image;
  }
  // The same volumes keep their letters when listed again in another order.
  const QJsonArray again = DrivesJson(config, {images[2], images[0], images[1]});
  ASSERT_EQ(again.size(), 3);
  for (const QJsonValue& v : again) {
    const QJsonObject d = v.toObject();
    for (const QJsonValue& first : drives) {
      if (first.toObject()["source"] == d["source"]) {
        EXPECT_EQ(first.toObject()["drive"], d["drive"]);
      }
    }
  }
}
