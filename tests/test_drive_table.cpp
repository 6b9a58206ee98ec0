// The drive table over real volumes made at test time by mkfs.fat, mkntfs,
// mkfs.ext4 and sfdisk and over copies of a fixture image: bare images, MBR
// and GPT disks, letters remembered across runs, more volumes than letters,
// and one real Windows-formatted disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

#include "TestSupport.h"
#include "platform/DriveLetters.h"
#include "platform/DriveTable.h"
#include "platform/MountPoints.h"

namespace undelvo {
namespace {

// Runs a shell command line; the file-system tools live in sbin.
::testing::AssertionResult Shell(const QString& command) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QStringLiteral("/bin/sh"),
          {QStringLiteral("-c"), QStringLiteral("PATH=$PATH:/usr/sbin:/sbin; ") + command});
  if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return ::testing::AssertionFailure()
           << command.toStdString() << " failed:\n" << p.readAll().toStdString();
  return ::testing::AssertionSuccess();
}

QString Quote(const QString& s) { return QLatin1Char('\'') + s + QLatin1Char('\''); }

// The table of the given images alone, its letters remembered in `settings`.
DriveTable BuildIn(const QString& settings, const QStringList& images) {
  DriveTableOptions options;
  for (const QString& image : images) options.images.push_back(image.toStdString());
  options.includeBlockDevices = false;
  options.settingsFolder = settings;
  return BuildDriveTable(options);
}

class DriveTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    if (!Shell(QStringLiteral("command -v mkfs.fat && command -v mkntfs && command -v sfdisk")))
      GTEST_SKIP() << "mkfs.fat, mkntfs or sfdisk missing (dosfstools, ntfs-3g, fdisk)";
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Settings() const { return dir_.filePath(QStringLiteral("settings")); }

  // A file of sizeMiB formatted by command ("mkfs.fat -F 16" and so on).
  QString Volume(const QString& name, const QString& command, int sizeMiB) {
    const QString path = Path(name);
    EXPECT_TRUE(Shell(QStringLiteral("truncate -s %1M %2 && %3 %2 >/dev/null")
                          .arg(sizeMiB)
                          .arg(Quote(path), command)));
    return path;
  }

  // A disk image of sizeMiB partitioned by an sfdisk script, with volumes
  // written into it at the given 512-byte sectors.
  QString Disk(const QString& name, int sizeMiB, const QString& script,
               const std::vector<std::pair<QString, qint64>>& volumes) {
    const QString path = Path(name);
    EXPECT_TRUE(Shell(QStringLiteral("truncate -s %1M %2 && printf '%3' | sfdisk -q %2")
                          .arg(sizeMiB)
                          .arg(Quote(path), script)));
    for (const auto& [volume, sector] : volumes)
      EXPECT_TRUE(Shell(QStringLiteral("dd if=%1 of=%2 bs=512 seek=%3 conv=notrunc,sparse status=none")
                            .arg(Quote(volume), Quote(path))
                            .arg(sector)));
    return path;
  }

  DriveTable Build(const QStringList& images) const { return BuildIn(Settings(), images); }

  QTemporaryDir dir_;
};

// Copies of the FAT16 fixture: images of one volume, sharing its serial.
class FixtureCopies : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  // copy00.img, copy01.img ... (count of them), sparse.
  QStringList Copies(int count) {
    const QString first =
        test::Unpack(test::SourceDir() + "/tests/data/fat16.img.gz", dir_.path(), "copy00.img");
    if (first.isEmpty()) return {};
    QStringList copies{first}, commands;
    for (int i = 1; i < count; ++i) {
      copies << dir_.filePath(QStringLiteral("copy%1.img").arg(i, 2, 10, QLatin1Char('0')));
      commands << "cp --sparse=always " + Quote(first) + " " + Quote(copies.last());
    }
    if (!commands.isEmpty() && !test::Shell(commands.join(" && "))) return {};
    return copies;
  }

  QString Settings() const { return dir_.filePath(QStringLiteral("settings")); }
  DriveTable Build(const QStringList& images) const { return BuildIn(Settings(), images); }

  void WriteLetters(const QString& text) const {
    ASSERT_TRUE(QDir().mkpath(Settings()));
    QFile f(DriveLettersFile(Settings()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
  }

  QTemporaryDir dir_;
};

const DriveEntry* ByLabel(const DriveTable& table, const QString& label) {
  for (const DriveEntry& d : table.drives)
    if (d.sourceLabel == label) return &d;
  return nullptr;
}

TEST(FsKindFromName, ExactNamesOnly) {
  const std::pair<const char*, int> cases[] = {
      {"FAT", 16}, {"FAT32", 32}, {"NTFS", 64}, {"fat", 0}, {"ntfs", 0},
      {"vfat", 0}, {"exfat", 0},  {"FAT16", 0}, {"", 0}};
  for (const auto& [name, kind] : cases) EXPECT_EQ(FsKindFromName(QString::fromLatin1(name)), kind) << name;
}

// Bare volumes (FAT12 and FAT16 both named "FAT"); the boot sectors end in
// 55 AA like an MBR, and one carries mkfs.fat's fake partition table, yet each
// is one whole-image drive, lettered in the order given.
TEST_F(DriveTableTest, BareVolumesAreWholeImageDrives) {
  struct Case {
    QString name, command, fsName;
    int sizeMiB;
  };
  const Case cases[] = {
      {"fat12.img", "mkfs.fat -F 12", "FAT", 4},
      {"fat16.img", "mkfs.fat -F 16", "FAT", 20},
      {"fat16mbr.img", "mkfs.fat -F 16 --mbr=y", "FAT", 20},
      {"fat32.img", "mkfs.fat -F 32", "FAT32", 40},
      {"ntfs.img", "mkntfs -F -q", "NTFS", 10},
  };
  QStringList images;
  for (const Case& c : cases) images << Volume(c.name, c.command, c.sizeMiB);

  const DriveTable table = Build(images);
  EXPECT_TRUE(table.errors.isEmpty()) << table.errors.join('\n').toStdString();
  ASSERT_EQ(table.drives.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const DriveEntry& d = table.drives[i];
    SCOPED_TRACE(cases[i].name.toStdString());
    EXPECT_EQ(d.letter, QString(QChar('C' + int(i))) + ':');
    EXPECT_EQ(d.fsName, cases[i].fsName);
    EXPECT_EQ(d.sourceLabel, images[int(i)]);
    EXPECT_EQ(QString::fromStdString(d.source.path), images[int(i)]);
    EXPECT_EQ(d.source.offset, 0u);
    EXPECT_EQ(d.source.size, uint64_t(cases[i].sizeMiB) << 20);
    EXPECT_FALSE(d.volumeId.isEmpty());
    EXPECT_NE(d.volumeId, d.sourceLabel);  // the file-system serial
    EXPECT_FALSE(d.removable);
    EXPECT_TRUE(d.mountPoint.isEmpty());
  }
  EXPECT_EQ(FsKindFromName(table.drives[0].fsName), 16);
  EXPECT_EQ(FsKindFromName(table.drives[3].fsName), 32);
  EXPECT_EQ(FsKindFromName(table.drives[4].fsName), 64);
}

// MBR: a FAT32 and an NTFS primary partition, an extended partition (no
// drive of its own) holding a logical FAT16 one, numbered 5.
TEST_F(DriveTableTest, MbrDiskGivesOneDrivePerPartition) {
  const QString fat32 = Volume("p1.vol", "mkfs.fat -F 32", 40);
  const QString ntfs = Volume("p2.vol", "mkntfs -F -q", 10);
  const QString fat16 = Volume("p5.vol", "mkfs.fat -F 16", 20);
  const QString disk = Disk("mbr.img", 80,
                            "label: dos\\n"
                            "start=2048, size=81920, type=c\\n"
                            "start=83968, size=20480, type=7\\n"
                            "start=104448, size=43008, type=5\\n"
                            "start=106496, size=40960, type=6\\n",
                            {{fat32, 2048}, {ntfs, 83968}, {fat16, 106496}});

  const DriveTable table = Build({disk});
  EXPECT_TRUE(table.errors.isEmpty()) << table.errors.join('\n').toStdString();
  ASSERT_EQ(table.drives.size(), 3u);
  const struct {
    QString suffix, fsName;
    uint64_t sector, sectors;
  } expected[] = {{"#1", "FAT32", 2048, 81920}, {"#2", "NTFS", 83968, 20480}, {"#5", "FAT", 106496, 40960}};
  for (const auto& e : expected) {
    const DriveEntry* d = ByLabel(table, disk + e.suffix);
    ASSERT_NE(d, nullptr) << e.suffix.toStdString();
    EXPECT_EQ(d->fsName, e.fsName);
    EXPECT_EQ(QString::fromStdString(d->source.path), disk);
    EXPECT_EQ(d->source.offset, e.sector * 512);
    EXPECT_EQ(d->source.size, e.sectors * 512);
  }
}

TEST_F(DriveTableTest, GptDiskGivesOneDrivePerPartition) {
  const QString fat16 = Volume("g1.vol", "mkfs.fat -F 16", 10);
  const QString ntfs = Volume("g2.vol", "mkntfs -F -q", 10);
  const QString basic = "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7";
  const QString disk = Disk("gpt.img", 40,
                            "label: gpt\\n"
                            "start=2048, size=20480, type=" + basic + "\\n"
                            "start=22528, size=20480, type=" + basic + "\\n",
                            {{fat16, 2048}, {ntfs, 22528}});

  const DriveTable table = Build({disk});
  ASSERT_EQ(table.drives.size(), 2u);
  EXPECT_EQ(table.drives[0].sourceLabel, disk + "#1");
  EXPECT_EQ(table.drives[0].fsName, "FAT");
  EXPECT_EQ(table.drives[0].source.offset, 2048u * 512);
  EXPECT_EQ(table.drives[1].sourceLabel, disk + "#2");
  EXPECT_EQ(table.drives[1].fsName, "NTFS");
  EXPECT_EQ(table.drives[1].source.offset, 22528u * 512);
}

// Images that hold nothing to scan give no drive and one error each, naming
// the file and why; images that cannot be read give one error each, naming
// the file, and spoil nothing else.
TEST_F(DriveTableTest, ImagesWithoutVolumesAndUnreadableImages) {
  const QString other = "(an exFAT, ext4 or other volume is not supported)";
  std::vector<std::pair<QString, QString>> nothing;  // image, why
  if (Shell("command -v mkfs.ext4"))
    nothing.push_back({Volume("ext4.img", "mkfs.ext4 -q -F", 8), "(ext4 is not supported)"});
  nothing.push_back({Volume("zeros.img", "true", 8), other});
  nothing.push_back({Volume("empty.img", "true", 0), "(the file is empty)"});
  nothing.push_back({Disk("emptytable.img", 8, "label: dos\\n", {}), other});
  nothing.push_back({Disk("unformatted.img", 8, "label: dos\\nstart=2048, type=c\\n", {}), other});
  QStringList images;
  for (const auto& n : nothing) images << n.first;
  const DriveTable none = Build(images);
  EXPECT_TRUE(none.drives.empty());
  ASSERT_EQ(none.errors.size(), qsizetype(nothing.size())) << none.errors.join('\n').toStdString();
  for (size_t i = 0; i < nothing.size(); ++i)
    EXPECT_EQ(none.errors[qsizetype(i)],
              nothing[i].first + ": no FAT or NTFS volume found " + nothing[i].second);

  const QString good = Volume("good.img", "mkfs.fat -F 16", 20);
  const QString missing = Path("missing.img");
  const QString folder = Path("folder.img");
  ASSERT_TRUE(QDir().mkpath(folder));
  const DriveTable table = Build({missing, good, folder});
  ASSERT_EQ(table.errors.size(), 2);
  EXPECT_EQ(table.errors[0], "cannot open image " + missing + ": No such file or directory");
  EXPECT_TRUE(table.errors[1].startsWith("cannot open image " + folder + ": "));
  ASSERT_EQ(table.drives.size(), 1u);
  EXPECT_EQ(table.drives[0].sourceLabel, good);
}

// A letter stays with its volume from run to run, whatever else is attached
// before it, and is kept for it while it is away.
TEST_F(DriveTableTest, LettersFollowVolumesAcrossRuns) {
  const QString a = Volume("a.img", "mkfs.fat -F 16", 10);
  const QString b = Volume("b.img", "mkntfs -F -q", 10);
  const QString c = Volume("c.img", "mkfs.fat -F 32", 40);

  DriveTable t = Build({a});
  ASSERT_EQ(t.drives.size(), 1u);
  EXPECT_EQ(t.drives[0].letter, "C:");

  t = Build({b, a});
  ASSERT_EQ(t.drives.size(), 2u);
  EXPECT_EQ(ByLabel(t, a)->letter, "C:");
  EXPECT_EQ(ByLabel(t, b)->letter, "D:");
  EXPECT_EQ(t.drives[0].sourceLabel, a);  // listed in letter order

  // a is away: its C: is not handed to the newcomer.
  t = Build({c, b});
  ASSERT_EQ(t.drives.size(), 2u);
  EXPECT_EQ(ByLabel(t, b)->letter, "D:");
  EXPECT_EQ(ByLabel(t, c)->letter, "E:");

  t = Build({a});
  ASSERT_EQ(t.drives.size(), 1u);
  EXPECT_EQ(t.drives[0].letter, "C:");
}

// Two images of one stick share its serial, yet each gets a letter of its
// own and keeps it in every later run: in either order, and given alone.
TEST_F(FixtureCopies, TwoImagesOfOneVolumeEachKeepTheirLetter) {
  const QStringList copies = Copies(2);
  ASSERT_EQ(copies.size(), 2);
  const QString a = copies[0], b = copies[1];
  const struct {
    QStringList given, letters;
  } runs[] = {
      {{b}, {"C:"}},
      {{a, b}, {"D:", "C:"}},
      {{a}, {"D:"}},
      {{b, a}, {"C:", "D:"}},
      {{b}, {"C:"}},
  };
  for (size_t r = 0; r < std::size(runs); ++r) {
    SCOPED_TRACE("run " + std::to_string(r + 1));
    const DriveTable t = Build(runs[r].given);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('\n').toStdString();
    EXPECT_TRUE(t.notes.isEmpty());
    ASSERT_EQ(t.drives.size(), size_t(runs[r].given.size()));
    for (qsizetype i = 0; i < runs[r].given.size(); ++i) {
      const DriveEntry* d = ByLabel(t, runs[r].given[i]);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->letter, runs[r].letters[i]) << d->sourceLabel.toStdString();
    }
  }
  // Both drives carry the file-system serial itself.
  const DriveTable t = Build({a, b});
  ASSERT_EQ(t.drives.size(), 2u);
  EXPECT_EQ(t.drives[0].volumeId, t.drives[1].volumeId);
  EXPECT_NE(t.drives[0].volumeId, t.drives[0].sourceLabel);
}

// Letters run from C: to Z:, never A: or B: (not even when the letters file
// names them). Of 30 volumes the last 6 are listed after the lettered ones
// without a letter, with a note and no error; the next run, given the same
// images in reverse, keeps every letter, and Find never answers with a
// letterless drive.
TEST_F(FixtureCopies, MoreVolumesThanLettersAreListedWithoutALetter) {
  const QStringList images = Copies(30);
  ASSERT_EQ(images.size(), 30);
  WriteLetters("[DriveLetters]\nA=" + images[0] + "\nB=" + images[1] + "\n");

  QStringList reversed = images;
  std::reverse(reversed.begin(), reversed.end());
  for (const QStringList& given : {images, reversed}) {
    SCOPED_TRACE(given == images ? "given in order" : "given in reverse");
    const DriveTable t = Build(given);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('\n').toStdString();
    EXPECT_EQ(t.notes, QStringList{"24 drive letters C: to Z: are taken: "
                                   "6 more volume(s) are listed without a letter"});
    ASSERT_EQ(t.drives.size(), 30u);
    for (int i = 0; i < 30; ++i) {
      const DriveEntry* d = ByLabel(t, images[i]);
      ASSERT_NE(d, nullptr) << i;
      EXPECT_EQ(d->letter, i < 24 ? QString(QChar('C' + i)) + ':' : QString()) << i;
      EXPECT_EQ(d->letter.isEmpty(), d - t.drives.data() >= 24) << i;  // the letterless come last
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
      const DriveEntry* found = t.Find(QString(QChar(c)) + ':');
      EXPECT_EQ(found != nullptr, c >= 'C') << c;
      if (found) {
        EXPECT_EQ(found->letter, QString(QChar(c)) + ':');
      }
    }
    EXPECT_EQ(t.Find(""), nullptr);
  }
}

// A letters file from before letters named the source holds bare serials
// and, for the second of two copies, its source label. It reads without
// error: each old entry goes to the image it names (the label first, the
// serial to the first copy without an entry), is written back in the new
// form, and an entry naming nothing present keeps its letter reserved.
TEST_F(FixtureCopies, OldLettersFileStillReads) {
  const QStringList copies = Copies(3);
  ASSERT_EQ(copies.size(), 3);
  const DriveTable probe = BuildIn(dir_.filePath("probe"), {copies[0]});
  ASSERT_EQ(probe.drives.size(), 1u);
  const QString serial = probe.drives[0].volumeId;
  WriteLetters("[DriveLetters]\nE=" + serial + "\nG=" + copies[1] + "\nC=ABCD-1234\n");

  DriveTable t = Build({copies[1], copies[0], copies[2]});
  EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('\n').toStdString();
  ASSERT_EQ(t.drives.size(), 3u);
  EXPECT_EQ(ByLabel(t, copies[0])->letter, "E:");
  EXPECT_EQ(ByLabel(t, copies[1])->letter, "G:");
  EXPECT_EQ(ByLabel(t, copies[2])->letter, "D:");
  QFile file(DriveLettersFile(Settings()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(ParseLetterMemory(file.readAll()),
            (LetterMemory{{'C', "ABCD-1234"},
                          {'D', serial + "|" + copies[2]},
                          {'E', serial + "|" + copies[0]},
                          {'G', serial + "|" + copies[1]}}));

  t = Build({copies[0]});
  ASSERT_EQ(t.drives.size(), 1u);
  EXPECT_EQ(t.drives[0].letter, "E:");
}

TEST(DriveLetters, NewVolumesAvoidRememberedLettersUntilNoneIsLeft) {
  LetterMemory memory{{'C', "away"}, {'E', "present"}};
  std::vector<QChar> got = AssignLetters({"new1", "present", "new2"}, memory);
  EXPECT_EQ(got, (std::vector<QChar>{'D', 'E', 'F'}));
  EXPECT_EQ(memory.value('C'), "away");
  EXPECT_EQ(memory.value('D'), "new1");

  // Every letter remembered for an absent volume: the first free one is
  // taken and its old owner forgotten.
  LetterMemory full;
  for (char c = 'C'; c <= 'Z'; ++c) full.insert(QLatin1Char(c), QStringLiteral("old%1").arg(c));
  got = AssignLetters({"old" + QString('G'), "fresh"}, full);
  EXPECT_EQ(got, (std::vector<QChar>{'G', 'C'}));
  EXPECT_EQ(full.value('C'), "fresh");
  EXPECT_EQ(full.size(), 24);
}

TEST(DriveLetters, FileRoundTripsAnyIdentity) {
  const LetterMemory memory{{'C', "DE97-75FA|/media/x.img"},
                            {'D', "/odd dir/a\\b=c\nd.img#1|/odd dir/a\\b=c\nd.img#1"}};
  EXPECT_EQ(ParseLetterMemory(FormatLetterMemory(memory)), memory);
  // Hand-edited lines: lower case, CRLF, A:/B:, junk, a second letter for one volume.
  EXPECT_EQ(ParseLetterMemory("[DriveLetters]\r\ne=x\r\nA=y\nB=z\nnonsense\nF=x\n"),
            (LetterMemory{{'E', "x"}}));
}

// A real disk formatted by Windows: MBR at sector 0, NTFS from sector 128.
TEST_F(DriveTableTest, WindowsFormattedDisk) {
  const QString anchor =
      QStringLiteral(UNDELVO_SOURCE_DIR "/../shared/anchors/ntfs-lastaccess.raw.gz");
  if (!QFileInfo::exists(anchor)) GTEST_SKIP() << "anchors folder absent (../shared/anchors)";
  const QString image = Path("lastaccess.raw");
  ASSERT_TRUE(Shell("gunzip -c " + Quote(anchor) + " | cp --sparse=always /dev/stdin " + Quote(image)));

  const DriveTable t = Build({image});
  ASSERT_EQ(t.drives.size(), 1u);
  EXPECT_EQ(t.drives[0].fsName, "NTFS");
  EXPECT_EQ(t.drives[0].sourceLabel, image + "#1");
  EXPECT_EQ(t.drives[0].source.offset, 128u * 512);
  EXPECT_EQ(t.drives[0].source.size, 518144u * 512);
  EXPECT_EQ(t.drives[0].volumeId, "0870803570802C0E");
}

TEST_F(DriveTableTest, FindTakesAnySpellingOfTheLetter) {
  const DriveTable t = Build({Volume("f.img", "mkfs.fat -F 16", 10)});
  ASSERT_EQ(t.drives.size(), 1u);
  for (const char* name : {"C:", "c:", "C:\\", "c:/", " C: "}) EXPECT_EQ(t.Find(name), &t.drives[0]) << name;
  for (const char* name : {"C", "D:", "CC:", "C:\\x", ""}) EXPECT_EQ(t.Find(name), nullptr) << name;
}

// The machine's own block devices: whatever they are, listing them works and
// gives device drives lettered before the images.
TEST_F(DriveTableTest, BlockDevicesListWithoutTrouble) {
  const QString image = Volume("img.img", "mkfs.fat -F 16", 10);
  DriveTableOptions options;
  options.images = {image.toStdString()};
  options.settingsFolder = Settings();
  const DriveTable t = BuildDriveTable(options);
  ASSERT_FALSE(t.drives.empty());
  for (const DriveEntry& d : t.drives) {
    EXPECT_GT(FsKindFromName(d.fsName), 0);
    EXPECT_EQ(d.letter.size(), 2);
  }
  EXPECT_EQ(t.drives.back().sourceLabel, image);
}

TEST(MountPoints, MountInfoLinesAndSources) {
  const QByteArray text =
      "36 35 98:0 /mnt1 /mnt/parent\\040dir rw,noatime master:1 - ext3 /dev/root rw\n"
      "40 28 0:45 / /media/my\\040stick rw,relatime shared:7 - fuseblk /tmp/odd\\040name.img rw\n"
      "garbage line\n"
      "41 28 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n";
  const std::vector<MountRecord> mounts = ParseMountInfo(text);
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].major, 98u);
  EXPECT_EQ(mounts[0].root, "/mnt1");
  EXPECT_EQ(mounts[0].mountPoint, "/mnt/parent dir");
  EXPECT_EQ(mounts[0].fsType, "ext3");
  EXPECT_EQ(mounts[1].source, "/tmp/odd name.img");
  EXPECT_EQ(mounts[2].minor, 17u);
  EXPECT_EQ(UnescapeMountField("a\\134b\\011c\\04"), "a\\b\tc\\04");

  // An image that is itself the source of a mount (ntfs-3g on a file).
  QTemporaryDir dir;
  const QString image = dir.filePath("odd name.img");
  QFile f(image);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  std::vector<MountRecord> own = mounts;
  own[1].source = image;
  DriveEntry drive;
  drive.source.path = image.toStdString();
  EXPECT_EQ(MountPointOf(drive, own), "/media/my stick");
  drive.source.offset = 512;  // a partition of it is not that mount
  EXPECT_EQ(MountPointOf(drive, own), "");
}

}  // namespace
}  // namespace undelvo
