// Volumes whose boot sector or records claim more than the image holds:
// crafted from the fixtures by changing one or two fields, each scanned and
// restored as a whole process that must end soon, with status 0 or 1, in
// little memory, writing no more than the volume holds.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace undelvo;

namespace {

struct Measured {
  int exitCode = -1;  // -1 when it had to be killed
  qint64 peakKiB = 0;
  QByteArray err;
};

// Runs undelvo-cli under a 60 s limit and tells its peak resident memory.
Measured RunMeasured(const QString& config, const QStringList& args) {
  const char* wrapper =
      "import resource, subprocess, sys\n"
      "try:\n"
      "    r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)\n"
      "    code = r.returncode\n"
      "    sys.stderr.buffer.write(r.stderr)\n"
      "except subprocess.TimeoutExpired:\n"
      "    code = -1\n"
      "print(code, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n";
  const auto r = test::Run("python3", QStringList{"-c", wrapper, test::CliPath()} + args,
                           {"XDG_CONFIG_HOME=" + config});
  Measured m;
  const QList<QByteArray> fields = r.out.trimmed().split(' ');
  if (fields.size() == 2) {
    m.exitCode = fields[0].toInt();
    m.peakKiB = fields[1].toLongLong();
  }
  m.err = r.err;
  return m;
}

// Changes `bytes.size()` bytes at `offset` of a file.
bool Patch(const QString& path, qint64 offset, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(bytes) == bytes.size();
}

QByteArray LE(uint64_t value, int bytes) {
  QByteArray b(bytes, '\0');
  test::PutLE(b, 0, value, bytes);
  return b;
}

QByteArray ReadAt(const QString& path, qint64 offset, qint64 size) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) && f.seek(offset) ? f.read(size) : QByteArray();
}

// Where the NTFS fixture keeps an MFT record's non-resident $DATA attribute:
// the byte offset of the attribute in the image. The fix-up is undone on a
// copy to walk the attributes; the patches stay clear of the fix-up bytes.
qint64 DataAttributeOf(const QString& image, int recordNumber) {
  const QByteArray boot = ReadAt(image, 0, 512);
  const qint64 cluster = qint64(quint8(boot[11]) | quint8(boot[12]) << 8) * quint8(boot[13]);
  qint64 mft = 0;
  for (int i = 7; i >= 0; --i) mft = mft << 8 | quint8(boot[48 + i]);
  const qint64 at = mft * cluster + qint64(recordNumber) * 1024;
  QByteArray r = ReadAt(image, at, 1024);
  if (r.size() != 1024 || !r.startsWith("FILE")) return -1;
  const int usa = quint8(r[4]) | quint8(r[5]) << 8;
  for (int k = 1; k < 3; ++k) r[k * 512 - 2] = r[usa + 2 * k], r[k * 512 - 1] = r[usa + 2 * k + 1];
  for (int a = quint8(r[20]) | quint8(r[21]) << 8; a + 16 <= 1024;) {
    const quint32 type = quint32(quint8(r[a])) | quint32(quint8(r[a + 1])) << 8;
    const int length = quint8(r[a + 4]) | quint8(r[a + 5]) << 8;
    if (type == 0xFFFF || length < 16) return -1;
    if (type == 0x80 && r[a + 8] == 1) return at + a;
    a += length;
  }
  return -1;
}

// Sets a one-run $DATA list: `lengthBytes` bytes of length, the start as it was (2 bytes
// for a file, 1 for the MFT, as in the fixture), within the 8 bytes the list has.
bool SetRun(const QString& image, qint64 attribute, uint64_t length, int lengthBytes) {
  const QByteArray header = ReadAt(image, attribute, 0x48);
  const int listAt = quint8(header[0x20]) | quint8(header[0x21]) << 8;
  const QByteArray list = ReadAt(image, attribute + listAt, 8);
  const int offsetBytes = quint8(list[0]) >> 4, oldLength = quint8(list[0]) & 15;
  if (1 + lengthBytes + offsetBytes + 1 > 8) return false;
  QByteArray run;
  run += char(offsetBytes << 4 | lengthBytes);
  run += LE(length, lengthBytes);
  run += list.mid(1 + oldLength, offsetBytes);
  run += QByteArray(8 - run.size(), '\0');
  return Patch(image, attribute + listAt, run);
}

}  // namespace

TEST(HostileVolumes, ClaimsBeyondTheImageEndSoonInLittleMemory) {
  QTemporaryDir scratch;
  const QString ntfsPacked = test::SourceDir() + "/tests/data/ntfs.img.gz";
  // 2 TiB in clusters of 32 KiB, with a FAT as large as that needs: a claim
  // the file-system probe still takes for FAT32.
  const auto claim2TiB = [](const QString& i) {
    return Patch(i, 13, QByteArray(1, char(64))) && Patch(i, 0x20, LE(0xFFFFFFFFu, 4)) &&
           Patch(i, 0x24, LE(524288, 4));
  };
  struct Case {
    const char* what;
    const QString* packed;  // a fixture, or null for a 40 MiB FAT32 volume made by mkfs.fat
    std::function<bool(const QString&)> craft;
    QStringList args;         // after --image IMG
    const char* oneMessage;   // the message when the status is 1
  };
  const Case cases[] = {
      {"a FAT32 boot sector claiming 2 TiB, deep scan", nullptr, claim2TiB, {"--deep"},
       "Error reading boot sector (FAT)!"},
      {"a FAT32 boot sector claiming 2 TiB, quick scan", nullptr, claim2TiB, {}, "Error reading boot sector (FAT)!"},
      {"an NTFS boot sector claiming 2^60 sectors and an MFT run of 2^39 clusters", &ntfsPacked,
       [](const QString& i) {
         return Patch(i, 0x28, LE(1ULL << 60, 8)) && SetRun(i, DataAttributeOf(i, 0), (1ULL << 39) - 1, 5);
       },
       {}, "MFT list reading error!"},
      {"the same, deep scan", &ntfsPacked,
       [](const QString& i) {
         return Patch(i, 0x28, LE(1ULL << 60, 8)) && SetRun(i, DataAttributeOf(i, 0), (1ULL << 39) - 1, 5);
       },
       {"--deep"}, "MFT list reading error!"},
      {"an MFT run of 2^36 clusters", &ntfsPacked,
       [](const QString& i) { return SetRun(i, DataAttributeOf(i, 0), 1ULL << 36, 5); }, {},
       "MFT list reading error!"},
      {"an MFT cluster of INT64_MAX, quick scan", &ntfsPacked,
       [](const QString& i) { return Patch(i, 0x30, LE(uint64_t(INT64_MAX), 8)); }, {}, "MFT list reading error!"},
      {"an MFT cluster of INT64_MAX, deep scan", &ntfsPacked,
       [](const QString& i) { return Patch(i, 0x30, LE(uint64_t(INT64_MAX), 8)); }, {"--deep"},
       "MFT list reading error!"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QString image = scratch.filePath(QString("case%1.img").arg(++n));
    if (c.packed) image = test::Unpack(*c.packed, scratch.path(), QFileInfo(image).fileName());
    else ASSERT_TRUE(test::Shell("mkfs.fat -F 32 -C '" + image + "' 40960 >/dev/null"));
    ASSERT_FALSE(image.isEmpty());
    ASSERT_TRUE(c.craft(image));
    QTemporaryDir config;
    const Measured m = RunMeasured(config.path(), QStringList{"scan", "--json", "--image", image} + c.args);
    EXPECT_TRUE(m.exitCode == 0 || m.exitCode == 1) << "status " << m.exitCode << ": " << m.err.toStdString();
    if (m.exitCode == 1) {
      EXPECT_TRUE(m.err.contains(c.oneMessage)) << m.err.toStdString();
    }
    EXPECT_LT(m.peakKiB, 200 * 1024);
  }
}

// A deleted file's record claims 1 TiB of data in one run: the run lies past
// the volume and is refused, the file's state says nothing of it can come
// back, and the rest of the files are restored.
TEST(HostileVolumes, ARestoreNeverWritesMoreThanTheVolumeHolds) {
  QTemporaryDir scratch, config;
  const QString image = test::Unpack(test::SourceDir() + "/tests/data/ntfs.img.gz", scratch.path(), "tib.img");
  ASSERT_FALSE(image.isEmpty());
  const qint64 data = DataAttributeOf(image, 84);  // setup.exe, deleted, 8 clusters
  ASSERT_GT(data, 0);
  ASSERT_TRUE(SetRun(image, data, 1ULL << 28, 4));                     // 2^28 clusters of 4 KiB
  for (int field : {0x28, 0x30, 0x38}) ASSERT_TRUE(Patch(image, data + field, LE(1ULL << 40, 8)));
  const QString out = scratch.filePath("out");
  const Measured m = RunMeasured(config.path(), {"recover", "--image", image, "--to", out, "--all"});
  EXPECT_TRUE(m.exitCode == 0 || m.exitCode == 4) << m.exitCode << ": " << m.err.toStdString();
  EXPECT_LT(m.peakKiB, 200 * 1024);
  qint64 written = 0;
  QDirIterator it(out, QDir::Files);
  while (it.hasNext()) written += QFileInfo(it.next()).size();
  EXPECT_GT(written, 0) << "the other files are restored";
  EXPECT_LE(written, QFileInfo(image).size());

  const auto scan = test::RunCli(config.path(), {"scan", "--json", "--image", image});
  ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
  int listed = 0;
  for (const QJsonValue& f : QJsonDocument::fromJson(scan.out).object()["files"].toArray()) {
    if (f["name"].toString() != "setup.exe") continue;
    ++listed;
    EXPECT_EQ(f["state"].toString().toStdString(), "overwritten");
    EXPECT_EQ(f["intact_percent"].toInt(), 0);
  }
  EXPECT_EQ(listed, 1);
}
