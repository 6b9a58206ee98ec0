// undelvo-cli scan and recover, run as whole processes on the NTFS fixture
// and on the Windows-formatted reference volumes.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"

using namespace undelvo;
using test::RunCli;

namespace {

QJsonObject ScanJson(const QString& config, const QStringList& images, const QStringList& extra = {}) {
  QStringList args{"scan", "--json"};
  for (const QString& i : images) args << "--image" << i;
  const auto r = RunCli(config, args + extra);
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  return QJsonDocument::fromJson(r.out).object();
}

// The sha256 of every file below a folder.
QSet<QByteArray> ShasBelow(const QString& folder) {
  QSet<QByteArray> shas;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) shas.insert(test::FileSha256(it.next()));
  return shas;
}

struct Fixture {
  const char* image;  // under tests/data/, packed as .gz
  const char* fs;
};

// A fixture image unpacked into a scratch folder, with the program's settings beside it.
class CliOnImage : public ::testing::Test {
 protected:
  void Load(const QString& image) {
    image_ = test::Unpack(test::SourceDir() + "/tests/data/" + image + ".gz", scratch_.path(), image);
    ASSERT_FALSE(image_.isEmpty());
    imageSha_ = test::FileSha256(image_);
  }
  QTemporaryDir scratch_, config_;
  QString image_;
  QByteArray imageSha_;
};

class CliOnNtfs : public CliOnImage {
 protected:
  void SetUp() override { Load("ntfs.img"); }
};

class CliScanFixture : public CliOnImage, public ::testing::WithParamInterface<Fixture> {
 protected:
  void SetUp() override { Load(GetParam().image); }
  bool Ntfs() const { return QString(GetParam().fs) == "NTFS"; }
  // Whether the quick scan lists a deleted file of the manifest: NTFS passes
  // over names without a "." and system and temporary files; FAT over empty files.
  bool Listed(const test::ManifestRow& row) const {
    if (Ntfs()) return !row.name.startsWith('$') && row.name.contains('.') && !row.name.contains(".tmp");
    return row.size > 0;
  }
};

}  // namespace

TEST_P(CliScanFixture, JsonListsEveryDeletedFileOfTheManifestAndRecoverRestoresThem) {
  const QJsonObject scan = ScanJson(config_.path(), {image_});
  EXPECT_EQ(scan["drive"].toString(), "C:");
  EXPECT_EQ(scan["fs"].toString(), GetParam().fs);
  EXPECT_FALSE(scan.contains("message"));
  EXPECT_GT(scan["scanned"].toInt(), 100);
  EXPECT_EQ(scan["categories"].toObject().keys(),
            QStringList({"binaries", "documents", "images", "media", "others", "web_files"}));
  const QJsonArray files = scan["files"].toArray();
  EXPECT_EQ(files.size(), scan["found"].toInt());
  int categorySum = 0;
  for (const QJsonValue c : scan["categories"].toObject()) categorySum += c.toInt();
  EXPECT_EQ(categorySum, scan["found"].toInt());

  for (const QJsonValue v : files) {
    const QJsonObject f = v.toObject();
    EXPECT_GT(f["locator"].toInteger(), 0);
    EXPECT_FALSE(f["recycle_bin"].toBool());
    EXPECT_TRUE(f["category"].toInt() >= 1 && f["category"].toInt() <= 6);
    EXPECT_FALSE(f["type"].toString().isEmpty());
    EXPECT_FALSE(f["date"].toString().isEmpty());
    // The date and time behind the listed date, as ISO 8601 local time.
    const QString iso = f["datetime"].toString();
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$").match(iso).hasMatch()) << iso.toStdString();
    if (!Ntfs()) {
      EXPECT_EQ(iso.left(10), f["date"].toString().replace('/', '-'));
    }
  }
  auto listedIn = [&](const test::ManifestRow& row) {
    return std::any_of(files.begin(), files.end(), [&](const QJsonValue& v) {
      const QJsonObject f = v.toObject();
      return f["size"].toInteger() == row.size && test::SameFoundFolder(f["path"].toString(), row.folder);
    });
  };
  const auto manifest =
      test::ReadManifest(test::SourceDir() + "/tests/data/" + GetParam().image + ".manifest.tsv");
  QSet<QByteArray> restorable;  // what must come back byte for byte
  for (const test::ManifestRow& row : manifest) {
    if (!Listed(row) || row.reused) continue;
    EXPECT_TRUE(listedIn(row)) << row.folder.toStdString() << row.name.toStdString();
    if (row.size > 0 && (Ntfs() || row.contiguous)) restorable.insert(row.sha256);
  }
  ASSERT_GT(restorable.size(), 15);

  // recover --all creates the missing save folder and writes every file back.
  const QString out = scratch_.filePath("restored/here");
  const auto r = RunCli(config_.path(), {"recover", "--image", image_, "--to", out, "--all"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QSet<QByteArray> written = ShasBelow(out);
  for (const QByteArray& sha : restorable) EXPECT_TRUE(written.contains(sha)) << sha.toStdString();
  EXPECT_TRUE(r.out.contains(" file(s) restored!")) << r.out.toStdString();

  // --match takes the name search's patterns.
  const auto masked = RunCli(config_.path(), {"recover", "--image", image_, "--to", scratch_.filePath("doc"),
                                              "--match", "*.doc"});
  EXPECT_EQ(masked.exitCode, 0) << masked.err.toStdString();
  for (const QString& name : QDir(scratch_.filePath("doc")).entryList(QDir::Files))
    EXPECT_TRUE(name.contains(".doc", Qt::CaseInsensitive)) << name.toStdString();
  EXPECT_GE(QDir(scratch_.filePath("doc")).entryList(QDir::Files).size(), 2);

  EXPECT_EQ(test::FileSha256(image_), imageSha_) << "scans and recoveries never write the volume";
}

TEST_P(CliScanFixture, TextOutputListsFilesAndASummary) {
  const auto r = RunCli(config_.path(), {"scan", "--image", image_});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(r.out).contains("\\sub\\deep file name with spaces.txt\n", Qt::CaseInsensitive))
      << r.out.toStdString();
  EXPECT_TRUE(r.out.contains(QString("\nC: (%1): ").arg(GetParam().fs).toUtf8())) << r.out.toStdString();
  EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();  // no progress bar without a terminal
}

// Each file's state in the JSON, the --state filter of scan and recover,
// and recover's count of the files that may be damaged.
TEST_P(CliScanFixture, StatesAreListedFilteredAndCounted) {
  const QJsonArray files = ScanJson(config_.path(), {image_})["files"].toArray();
  QStringList good, atRisk;
  for (const QJsonValue& v : files) {
    const QJsonObject f = v.toObject();
    const QString state = f["state"].toString();
    const int percent = f["intact_percent"].toInt(-1);
    EXPECT_TRUE(QStringList({"good", "partial", "overwritten"}).contains(state)) << state.toStdString();
    EXPECT_EQ(state == "good", percent == 100) << f["name"].toString().toStdString();
    EXPECT_EQ(state == "overwritten", percent == 0) << f["name"].toString().toStdString();
    (state == "good" ? good : atRisk).append(f["name"].toString());
  }
  ASSERT_FALSE(atRisk.isEmpty());

  QStringList filtered;
  for (const QJsonValue& v : ScanJson(config_.path(), {image_}, {"--state", "partial,overwritten"})["files"].toArray())
    filtered.append(v.toObject()["name"].toString());
  EXPECT_EQ(filtered, atRisk);
  const auto text = RunCli(config_.path(), {"scan", "--image", image_, "--state", "GOOD"});
  EXPECT_EQ(text.out.count("  good  "), good.size()) << text.out.toStdString();
  const auto bad = RunCli(config_.path(), {"scan", "--image", image_, "--state", "fine"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_TRUE(bad.err.contains("--state takes good, partial, overwritten or unknown, not 'fine'")) << bad.err.toStdString();

  const auto onlyGood = RunCli(config_.path(), {"recover", "--image", image_, "--state", "good", "--all", "--to",
                                                scratch_.filePath("good")});
  EXPECT_EQ(onlyGood.out, QString("%1 file(s) restored!\n").arg(good.size()).toUtf8()) << onlyGood.err.toStdString();
  const auto all = RunCli(config_.path(), {"recover", "--image", image_, "--all", "--json", "--to", scratch_.filePath("all")});
  const QJsonObject o = QJsonDocument::fromJson(all.out).object();
  EXPECT_EQ(o["may_be_damaged"].toInt(), atRisk.size());
  QStringList damaged;
  for (const QJsonValue& v : o["damaged"].toArray()) damaged.append(v.toObject()["name"].toString());
  EXPECT_EQ(damaged, atRisk);
  EXPECT_EQ(all.err.count("its contents may be damaged"), atRisk.size()) << all.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CliScanFixture,
                         ::testing::Values(Fixture{"ntfs.img", "NTFS"}, Fixture{"fat16.img", "FAT"},
                                           Fixture{"fat32-mbr.img", "FAT32"}),
                         [](const auto& info) { return QString(info.param.image).section('.', 0, 0).remove('-').toStdString(); });

TEST_F(CliOnNtfs, BadInputAndRefusedDrivesGiveAMessageAndTheirStatus) {
  const QString missing = scratch_.filePath("missing.img");
  const QString to = scratch_.filePath("out");
  const QString copy = scratch_.filePath("copy.img");
  ASSERT_TRUE(QFile::copy(image_, copy));
  const struct {
    const char* what;
    QStringList args;
    int status;
    const char* inStderr;
  } cases[] = {
      {"a missing image", {"scan", "--image", missing}, 2, "missing.img"},
      {"a drive that is not a letter", {"scan", "--image", image_, "--drive", "/dev/sda"}, 2, "--drive"},
      {"an unknown option", {"scan", "--image", image_, "--fast"}, 2, "--fast"},
      {"two drives and no choice", {"scan", "--image", image_, "--image", copy}, 2, "--drive"},
      {"a drive not in the list", {"scan", "--image", image_, "--drive", "Q:"}, 1, "Drive not found!"},
      {"recover without a folder", {"recover", "--image", image_, "--all"}, 2, "--to"},
      {"recover with --all and --match", {"recover", "--image", image_, "--to", to, "--all", "--match", "a"}, 2,
       "--all"},
      {"recover with no hit", {"recover", "--image", image_, "--to", to, "--match", "zzz"}, 0,
       "No deleted files were found matching this search criteria!"},
      {"a mask without a pattern", {"scan", "--image", image_, "--mask"}, 2, "--mask"},
      {"a mask that matches nothing", {"scan", "--image", image_, "--mask", "*.doc,*.txt"}, 0,
       "No deleted files were found matching this search criteria!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto r = RunCli(config_.path(), c.args);
    EXPECT_EQ(r.exitCode, c.status);
    EXPECT_TRUE(r.err.contains(c.inStderr)) << r.err.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(to)) << "nothing to restore creates no folder";
  const QJsonObject refused = QJsonDocument::fromJson(
      RunCli(config_.path(), {"scan", "--json", "--image", image_, "--drive", "Q:"}).out).object();
  EXPECT_EQ(refused["message"].toString(), "Drive not found!");
}

// A file deleted with ntfs-3g on a copy of each reference volume is found in
// its folder and restored byte for byte: files that Windows wrote, and a new
// one on the volume with 2 MiB clusters.
TEST(CliScanAnchors, FileDeletedOnAWindowsVolumeIsFoundAndRestored) {
  const QDir anchors(test::AnchorsDir());
  if (!anchors.exists("ntfs-2m.raw.gz")) GTEST_SKIP() << "anchors folder absent (../shared/anchors)";
  if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse"))
    GTEST_SKIP() << "deleting a file with ntfs-3g needs root and /dev/fuse";
  const struct {
    const char* image;
    const char* file;  // below the volume's root
    bool create;       // written by the test (else one that Windows wrote)
    bool hashImage;    // check that the image is unchanged (hashing 1 GiB takes seconds)
  } cases[] = {
      {"ntfs-2m", "test/deeper/Lost photo.jpg", true, false},
      {"ntfs-lastaccess", "test/1.txt", false, true},
      {"ntfs-si-vs-fn", "test/test.txt", false, false},
      {"ntfs-ptrn", "2.txt", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image);
    QTemporaryDir scratch, config;
    const QString image = test::Unpack(anchors.filePath(QString(c.image) + ".raw.gz"), scratch.path(), "disk.raw");
    ASSERT_FALSE(image.isEmpty());
    // A clean volume scans without a refusal.
    const QJsonObject clean = ScanJson(config.path(), {image});
    EXPECT_EQ(clean["fs"].toString(), "NTFS");
    EXPECT_EQ(clean["message"].toString(), "Found 0 deleted files on this drive!");

    // Delete the file through ntfs-3g on the partition, then put the partition back.
    const QString part = scratch.filePath("part.raw"), mnt = scratch.filePath("mnt"), payload = scratch.filePath("payload");
    const QString file = mnt + "/" + c.file;
    ASSERT_TRUE(QDir().mkpath(mnt));
    ASSERT_TRUE(test::Shell(QString("dd if='%1' of='%2' bs=1M iflag=skip_bytes skip=65536 conv=sparse status=none").arg(image, part)));
    if (c.create) {
      ASSERT_TRUE(test::Shell(QString("head -c 300000 /dev/urandom > '%1' && ntfs-3g '%2' '%3' && mkdir -p \"$(dirname '%4')\" "
                                      "&& cp '%1' '%4'; umount '%3'")
                                  .arg(payload, part, mnt, file)));
    }
    ASSERT_TRUE(test::Shell(QString("ntfs-3g '%1' '%2' && cp '%3' '%4' && rm '%3'; umount '%2'").arg(part, mnt, file, payload)));
    ASSERT_TRUE(test::Shell(QString("dd if='%1' of='%2' bs=1M oflag=seek_bytes seek=65536 conv=notrunc,sparse status=none").arg(part, image)));
    const QByteArray expected = test::FileSha256(payload);
    ASSERT_FALSE(expected.isEmpty());
    const QByteArray deletedImage = c.hashImage ? test::FileSha256(image) : QByteArray();

    const QString name = QFileInfo(c.file).fileName();
    const QString folder = "C:\\" + QString(c.file).chopped(name.size()).replace('/', '\\');
    // The quick scan and the deep one (which searches the volume for the MFT) both list it.
    for (const QStringList& mode : {QStringList(), QStringList{"--deep"}}) {
      const QJsonObject scan = ScanJson(config.path(), {image}, mode);
      bool listed = false;
      for (const QJsonValue v : scan["files"].toArray()) {
        const QJsonObject f = v.toObject();
        if (f["name"].toString() == name && f["path"].toString() == folder &&
            f["size"].toInteger() == QFileInfo(payload).size())
          listed = true;
      }
      EXPECT_TRUE(listed) << mode.join(" ").toStdString() << QJsonDocument(scan).toJson().toStdString();
    }

    const QString out = scratch.filePath("restored");
    const auto r = RunCli(config.path(), {"recover", "--image", image, "--to", out, "--match", name});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1 file(s) restored!\n");
    EXPECT_EQ(test::FileSha256(out + "/" + name), expected);
    if (c.hashImage) {
      EXPECT_EQ(test::FileSha256(image), deletedImage) << "the volume is never written";
    }
  }
}

TEST_F(CliOnNtfs, DeepScanFindsFilesWhenTheMftRecordZeroIsGone) {
  ASSERT_TRUE(test::ZeroFirstMftRecord(image_));

  const auto quick = RunCli(config_.path(), {"scan", "--image", image_});
  EXPECT_EQ(quick.exitCode, 1);
  EXPECT_TRUE(quick.err.contains("MFT list reading error!")) << quick.err.toStdString();
  const QJsonObject deep = ScanJson(config_.path(), {image_}, {"--deep", "--mask", "*.jpg"});
  EXPECT_GE(deep["found"].toInt(), 3);
  for (const QJsonValue v : deep["files"].toArray())
    EXPECT_TRUE(v.toObject()["name"].toString().endsWith(".jpg")) << v.toObject()["name"].toString().toStdString();
  const QString out = scratch_.filePath("deep");
  const auto r = RunCli(config_.path(), {"recover", "--image", image_, "--deep", "--name", "*photo*", "--to", out, "--all"});
  EXPECT_EQ(r.out, "1 file(s) restored!\n") << r.err.toStdString();
}

// A write that fails (a file-size limit standing in for a full disk) is
// reported for its file, and the other files are still restored.
TEST_F(CliOnNtfs, AFailedWriteIsReportedAndTheRunGoesOn) {
  const QString out = scratch_.filePath("limited");
  const QString command = QString("ulimit -f 16; trap '' XFSZ; exec '%1' recover --image '%2' --to '%3' --all")
                              .arg(test::CliPath(), image_, out);
  const auto r = test::Run("bash", {"-c", command}, {"XDG_CONFIG_HOME=" + config_.path()});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_TRUE(r.err.contains("setup.exe into " + out.toUtf8() + ": File too large")) << r.err.toStdString();
  EXPECT_EQ(r.err.count("could not write"), 3) << r.err.toStdString();  // the three files over 16 KiB
  EXPECT_EQ(r.out, "21 file(s) restored! 1 of them may be damaged.\n");  // empty.txt included; "Reused notes.txt" in part
  const auto json = test::Run("bash", {"-c", command + " --json"}, {"XDG_CONFIG_HOME=" + config_.path()});
  const QJsonObject o = QJsonDocument::fromJson(json.out).object();
  EXPECT_EQ(o["restored"].toInt(), 21);  // again, under numbered names
  QStringList failed;
  for (const QJsonValue v : o["failed"].toArray())
    failed << v.toObject()["name"].toString() + ": " + v.toObject()["error"].toString();
  EXPECT_TRUE(failed.contains("setup.exe: File too large")) << failed.join("; ").toStdString();
  EXPECT_EQ(failed.size(), 3);
  EXPECT_EQ(test::FileSha256(image_), imageSha_);
}

// A volume mounted with ntfs-3g: its Recycle Bin is listed from the live
// folders and copied back, and saving onto the scanned volume is warned about.
TEST_F(CliOnNtfs, MountedVolumeRecycleBinIsListedAndCopied) {
  if (::geteuid() != 0 || !QFileInfo::exists("/dev/fuse")) GTEST_SKIP() << "mounting with ntfs-3g needs root and /dev/fuse";
  const QString mnt = scratch_.filePath("mnt");
  ASSERT_TRUE(QDir().mkpath(mnt));
  ASSERT_TRUE(test::Shell(QString("ntfs-3g '%1' '%2'").arg(image_, mnt)));
  const auto unmount = qScopeGuard([&] { test::Run("umount", {mnt}); });
  const QString bin = mnt + "/$RECYCLE.BIN/S-1-5-21-1";
  ASSERT_TRUE(QDir().mkpath(bin));
  QFile binned(bin + "/$RAB12CD.txt");
  ASSERT_TRUE(binned.open(QIODevice::WriteOnly) && binned.write("in the bin\n") == 11);
  binned.close();

  const QJsonObject scan = ScanJson(config_.path(), {image_});
  bool listed = false;
  for (const QJsonValue v : scan["files"].toArray()) {
    const QJsonObject f = v.toObject();
    if (f["recycle_bin"].toBool() && f["name"].toString() == "$RAB12CD.txt" &&
        f["path"].toString() == bin + "/$RAB12CD.txt" && f["locator"].isNull())
      listed = true;
  }
  EXPECT_TRUE(listed) << QJsonDocument(scan).toJson().toStdString();

  const QString out = mnt + "/restored";  // on the scanned volume itself
  const auto r = RunCli(config_.path(), {"recover", "--image", image_, "--to", out, "--match", "$RAB*"});
  EXPECT_EQ(r.out, "1 file(s) restored!\n") << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("onto the same drive")) << r.err.toStdString();
  QFile copied(out + "/$RAB12CD.txt");
  ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
  EXPECT_EQ(copied.readAll(), "in the bin\n");
}

// --categories shows the found files by kind, as the results' category list
// does: the group counts add up to the files of the listed sections.
TEST_F(CliOnNtfs, CategoriesListTheFoundFilesByKind) {
  const QJsonObject o = ScanJson(config_.path(), {image_}, {"--categories"});
  const QJsonArray groups = o["groups"].toArray();
  ASSERT_EQ(groups.size(), 6);
  int total = 0;
  for (const QJsonValue g : groups) {
    int sum = 0;
    for (const QJsonValue e : g.toObject()["entries"].toArray()) sum += e.toObject()["count"].toInt();
    EXPECT_EQ(g.toObject()["count"].toInt(), sum);
    total += sum;
  }
  EXPECT_EQ(groups[0].toObject()["caption"].toString(), "Documents (" + QString::number(groups[0].toObject()["count"].toInt()) + " files)");
  EXPECT_EQ(groups[0].toObject()["entries"].toArray()[0].toObject()["caption"].toString(), "Word documents (4 files)");
  EXPECT_LE(total, o["found"].toInt());
  EXPECT_GT(total, 15);
  EXPECT_EQ(o["files"].toArray().size(), o["found"].toInt()) << "the file list stays";

  const auto text = RunCli(config_.path(), {"scan", "--image", image_, "--categories"});
  ASSERT_EQ(text.exitCode, 0);
  EXPECT_TRUE(text.out.startsWith("Documents (")) << text.out.toStdString();
  EXPECT_TRUE(text.out.contains("\n  Word documents (4 files)\n")) << text.out.toStdString();
  EXPECT_TRUE(text.out.contains("\n  JPG files (")) << text.out.toStdString();
}
