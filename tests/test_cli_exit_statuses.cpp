// undelvo-cli as scripts see it: exit statuses and messages for bad input,
// refused drives, unwritable and full save folders and Ctrl-C, run as whole
// processes on images made by the real tools.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace undelvo;
using test::RunCli;

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString Fixture(const QTemporaryDir& scratch, const QString& image) {
  return test::Unpack(test::SourceDir() + "/tests/data/" + image + ".gz", scratch.path(), image);
}

// Whether a process has a handler of its own for SIGINT (its Ctrl-C stop).
bool CatchesInterrupt(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGINT - 1)) & 1;
  return false;
}

// Runs undelvo-cli, presses Ctrl-C once it has its stop handler and `ready`
// holds, and waits for it to end.
test::CommandResult InterruptedCli(const QString& config, const QStringList& args,
                                   const std::function<bool()>& ready = [] { return true; }) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", config);
  p.setProcessEnvironment(env);
  p.start(test::CliPath(), args);
  test::CommandResult r;
  if (!p.waitForStarted()) return r;
  QElapsedTimer waited;
  waited.start();
  while (p.state() == QProcess::Running && !(CatchesInterrupt(p.processId()) && ready()) && waited.elapsed() < 30000)
    QThread::msleep(2);
  ::kill(pid_t(p.processId()), SIGINT);
  p.waitForFinished(120000);
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  return r;
}

// A FAT32 image of `size` bytes, sparse, made by mkfs.fat.
bool MakeFat32(const QString& path, qint64 size) {
  return test::MakeSparseFile(path, size) && test::Shell("mkfs.fat -F 32 '" + path + "' >/dev/null");
}

}  // namespace

TEST(CliExitStatuses, BadInputAndRefusedDrivesGiveTheirStatusAndAMessage) {
  QTemporaryDir scratch, config;
  const QString ntfs = Fixture(scratch, "ntfs.img");
  ASSERT_FALSE(ntfs.isEmpty());
  const QString text = scratch.filePath("notes.txt"), empty = scratch.filePath("empty.img"),
                random = scratch.filePath("random.img"), damaged = scratch.filePath("damaged-mft.img");
  ASSERT_TRUE(WriteFile(text, "shopping list\nmilk\n") && WriteFile(empty, {}));
  QByteArray noise(1 << 20, '\0');
  QRandomGenerator gen(7);
  gen.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  ASSERT_TRUE(WriteFile(random, noise));
  // The NTFS fixture with the MFT's own record zeroed: the quick scan has no map.
  ASSERT_TRUE(QFile::copy(ntfs, damaged) && test::ZeroFirstMftRecord(damaged));
  const QString fileInTheWay = scratch.filePath("a-file");
  ASSERT_TRUE(WriteFile(fileInTheWay, "x"));

  struct Case {
    const char* what;
    QStringList args;
    int status;
    QStringList inStderr;
  };
  std::vector<Case> cases = {
      {"scan with neither a drive nor an image", {"scan"}, 2, {"--drive C:", "--image FILE"}},
      {"a missing image", {"scan", "--image", scratch.filePath("missing.img")}, 2, {"missing.img"}},
      {"a text file", {"scan", "--image", text}, 2, {text + ": no FAT or NTFS volume found"}},
      {"an empty file", {"scan", "--image", empty}, 2, {empty + ": no FAT or NTFS volume found (the file is empty)"}},
      {"random bytes", {"scan", "--image", random}, 2, {random + ": no FAT or NTFS volume found"}},
      {"drives of a text file", {"drives", "--images-only", "--image", text}, 2, {text + ": no FAT or NTFS"}},
      {"a damaged MFT", {"scan", "--image", damaged}, 1, {"MFT list reading error!", "try --deep"}},
      {"a drive not in the list", {"scan", "--image", ntfs, "--drive", "Q:"}, 1, {"Drive not found!"}},
      {"--mask and --name together", {"scan", "--image", ntfs, "--mask", "*.doc", "--name", "a*"}, 2, {"not both"}},
      {"--match with --name", {"recover", "--image", ntfs, "--to", scratch.filePath("o"), "--match", "a", "--name", "b"},
       2, {"--match"}},
      {"a file where the save folder goes", {"recover", "--image", ntfs, "--to", fileInTheWay + "/out", "--all"}, 2,
       {"cannot make the save folder", "Not a directory"}},
      {"a save folder the system refuses", {"recover", "--image", ntfs, "--to", "/sys/undelvo-test/out", "--all"}, 2,
       {"cannot make the save folder /sys/undelvo-test/out: Operation not permitted"}},
      {"an unknown command", {"frobnicate"}, 2, {"frobnicate"}},
  };
  if (!QStandardPaths::findExecutable("mkfs.exfat").isEmpty()) {
    const QString exfat = scratch.filePath("exfat.img");
    ASSERT_TRUE(test::MakeSparseFile(exfat, 8 << 20) && test::Shell("mkfs.exfat '" + exfat + "' >/dev/null"));
    cases.push_back({"an exFAT volume", {"scan", "--image", exfat}, 2, {exfat + ": no FAT or NTFS volume found (exFAT"}});
  } else {
    ADD_FAILURE() << "mkfs.exfat missing (package exfatprogs): the exFAT case did not run";
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto r = RunCli(config.path(), c.args);
    EXPECT_EQ(r.exitCode, c.status) << r.err.toStdString();
    for (const QString& part : c.inStderr) EXPECT_TRUE(r.err.contains(part.toUtf8())) << r.err.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(scratch.filePath("o"))) << "refused usage makes no folder";
}

// Ctrl-C stops a scan and a recovery: status 3, what was printed says so, and
// a file the stop cut short is not left behind.
TEST(CliExitStatuses, CtrlCStopsAScanAndARecoveryWithStatusThree) {
  QTemporaryDir scratch, config;
  // The deep scan reads the whole data area of a 16 GiB volume: long enough to stop.
  const QString large = scratch.filePath("large.img");
  ASSERT_TRUE(MakeFat32(large, qint64(16) << 30));
  const auto scan = InterruptedCli(config.path(), {"scan", "--image", large, "--deep", "--json"});
  EXPECT_EQ(scan.exitCode, 3) << scan.err.toStdString();
  EXPECT_TRUE(QJsonDocument::fromJson(scan.out).object()["stopped"].toBool()) << scan.out.toStdString();

  // One deleted file whose entry claims 2,000,000,000 bytes of free clusters.
  const QString image = scratch.filePath("claim.img");
  ASSERT_TRUE(MakeFat32(image, qint64(3) << 30));
  ASSERT_TRUE(WriteFile(scratch.filePath("BIG.BIN"), QByteArray(4096, 'b')));
  ASSERT_TRUE(test::Shell("mcopy -i '" + image + "' '" + scratch.filePath("BIG.BIN") + "' ::BIG.BIN && mdel -i '" +
                          image + "' ::BIG.BIN"));
  {
    QFile f(image);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 entry = f.read(8 << 20).indexOf(QByteArray("\xE5IG     BIN", 11));
    ASSERT_GT(entry, 0);
    QByteArray size(4, '\0');
    test::PutLE(size, 0, 2000000000, 4);
    ASSERT_TRUE(f.seek(entry + 28) && f.write(size) == 4);
  }
  const QString out = scratch.filePath("out");
  const auto recover = InterruptedCli(config.path(), {"recover", "--image", image, "--to", out, "--all", "--json"},
                                      [&] { return !QDir(out).isEmpty(QDir::Files); });
  EXPECT_EQ(recover.exitCode, 3) << recover.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(recover.out).object();
  EXPECT_TRUE(o["stopped"].toBool()) << recover.out.toStdString();
  EXPECT_EQ(o["restored"].toInt(), 0);
  EXPECT_TRUE(recover.err.contains("cut short by the stop and removed")) << recover.err.toStdString();
  EXPECT_TRUE(QDir(out).isEmpty(QDir::Files)) << "no piece of the file is left";
}

// On a full disk every file that could not be written whole is removed and
// reported, the rest are whole, the status is 4; a second run adds nothing empty.
TEST(CliExitStatuses, AFullSaveFolderKeepsOnlyWholeFilesAndSaysWhichWereNotWritten) {
  QTemporaryDir scratch, config;
  for (const char* name : {"fat16.img", "ntfs.img"}) {
    SCOPED_TRACE(name);
    const QString image = Fixture(scratch, name);
    ASSERT_FALSE(image.isEmpty());
    const auto manifest = test::ReadManifest(test::SourceDir() + "/tests/data/" + name + ".manifest.tsv");
    const QString to = scratch.filePath(QString(name) + ".out");
    ASSERT_TRUE(QDir().mkpath(to));
    // A 64 KiB tmpfs where one can be mounted; else a 64 KiB file-size limit.
    const bool tmpfs = test::Run("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", to}).exitCode == 0;
    const auto unmount = qScopeGuard([&] {
      if (tmpfs) test::Run("umount", {to});
    });
    const QString command = QString("%1exec '%2' recover --image '%3' --to '%4' --all --json")
                                .arg(tmpfs ? "" : "ulimit -f 64; ", test::CliPath(), image, to);
    QSet<QString> written;  // every file the runs say they wrote
    for (int run = 1; run <= 2; ++run) {
      SCOPED_TRACE(run);
      const auto r = test::Run("bash", {"-c", command}, {"XDG_CONFIG_HOME=" + config.path()});
      EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
      const QJsonObject o = QJsonDocument::fromJson(r.out).object();
      const QJsonArray failed = o["failed"].toArray();
      EXPECT_GT(failed.size(), 0);
      EXPECT_EQ(r.err.count("could not write"), failed.size()) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains(QByteArray::number(failed.size()) + " file(s) could not be written"));
      EXPECT_EQ(o["restored"].toInt(), o["written"].toArray().size());
      for (const QJsonValue v : o["written"].toArray()) {
        const QJsonObject w = v.toObject();
        written.insert(w["path"].toString());
        EXPECT_EQ(QFileInfo(w["path"].toString()).size(), w["size"].toInteger()) << w["path"].toString().toStdString();
        for (const test::ManifestRow& m : manifest)
          if (!m.reused && (QString(name) == "ntfs.img" || m.contiguous) && m.size == w["size"].toInteger() &&
              test::SameFoundName(w["source_name"].toString(), m.name) &&
              test::SameFoundFolder(w["source_path"].toString(), m.folder)) {
            EXPECT_EQ(test::FileSha256(w["path"].toString()), m.sha256) << m.name.toStdString();
          }
      }
    }
    // Nothing but the files written whole: no truncated file, no empty numbered copy.
    for (const QString& file : QDir(to).entryList(QDir::Files | QDir::Hidden))
      EXPECT_TRUE(written.contains(to + "/" + file)) << file.toStdString();
  }
}

// Every command's help lists the exit statuses; --version names the program.
TEST(CliExitStatuses, HelpOfEveryCommandListsTheExitStatuses) {
  QTemporaryDir config;
  for (const QStringList& args : {QStringList{"--help"}, QStringList{"drives", "--help"}, QStringList{"scan", "--help"},
                                  QStringList{"recover", "--help"}, QStringList{"show", "-h"}, QStringList{"help", "scan"}}) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const auto r = RunCli(config.path(), args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    for (const char* line : {"Exit status:", "  0  the work ran", "  1  a check", "  2  bad usage", "  3  the run was stopped",
                             "  4  recover could not write"})
      EXPECT_TRUE(r.out.contains(line)) << line;
  }
  const auto version = RunCli(config.path(), {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("undelvo-cli ")) << version.out.toStdString();
}

// A machine that shows no drive says why rather than printing nothing.
TEST(CliExitStatuses, DrivesWithNoResultSaysWhy) {
  QTemporaryDir config;
  const auto r = RunCli(config.path(), {"drives", "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  if (!QJsonDocument::fromJson(r.out).object()["drives"].toArray().isEmpty())
    GTEST_SKIP() << "this machine has FAT or NTFS block devices: the empty case cannot be seen here";
  EXPECT_TRUE(r.err.contains("undelvo-cli drives: no FAT or NTFS volume found")) << r.err.toStdString();
}
