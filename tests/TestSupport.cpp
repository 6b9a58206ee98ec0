#include "TestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace undelvo::test {

CommandResult Run(const QString& program, const QStringList& args, const QStringList& extraEnv) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& kv : extraEnv) {
    const qsizetype eq = kv.indexOf(QLatin1Char('='));
    env.insert(kv.left(eq), kv.mid(eq + 1));
  }
  p.setProcessEnvironment(env);
  p.start(program, args);
  CommandResult r;
  if (!p.waitForStarted(10000)) return r;
  p.closeWriteChannel();
  p.waitForFinished(600000);
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  return r;
}

bool Shell(const QString& commandLine) {
  const CommandResult r = Run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
  if (r.exitCode != 0) {
    ADD_FAILURE() << "command failed (" << r.exitCode << "): " << commandLine.toStdString() << "\n"
                  << r.err.toStdString();
    return false;
  }
  return true;
}

CommandResult RunCli(const QString& configDir, const QStringList& args) {
  return Run(CliPath(), args, {QStringLiteral("XDG_CONFIG_HOME=") + configDir});
}

std::vector<FixtureVolume> FatFixtures() {
  return {{"fat16.img", "FAT", 0}, {"fat32-mbr.img", "FAT32", 2048 * 512}};
}

std::vector<ManifestRow> ReadManifest(const QString& path) {
  std::vector<ManifestRow> rows;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return rows;
  f.readLine();  // the header
  while (!f.atEnd()) {
    const QStringList c = QString::fromUtf8(f.readLine()).trimmed().split('\t');
    if (c.size() >= 5)
      rows.push_back({c[0], c[1], c[2].toLongLong(), c[4] == "1", c.size() > 5 && c[5] == "1", c[3].toLatin1()});
  }
  return rows;
}

bool SameFoundName(const QString& found, const QString& expected) {
  if (found.compare(expected, Qt::CaseInsensitive) == 0) return true;
  return found.startsWith(QChar(0xF5)) && !expected.isEmpty() &&
         found.mid(1).compare(expected.mid(1), Qt::CaseInsensitive) == 0;
}

bool SameFoundFolder(const QString& foundFolder, const QString& manifestFolder) {
  const QStringList found = foundFolder.mid(2).split('\\', Qt::SkipEmptyParts);
  const QStringList expected = manifestFolder.split('/', Qt::SkipEmptyParts);
  if (!foundFolder.startsWith(QStringLiteral("C:\\")) || found.size() != expected.size()) return false;
  for (qsizetype i = 0; i < found.size(); ++i)
    if (!SameFoundName(found[i], expected[i])) return false;
  return true;
}

QByteArray FileSha256(const QString& path) {
  QFile f(path);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f)) return {};
  return hash.result().toHex();
}

void PutLE(QByteArray& b, qsizetype at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = char((value >> (8 * i)) & 0xff);
}

QByteArray FatDirEntry(const QByteArray& name11, uint8_t attributes, uint32_t cluster, uint32_t size,
                       uint16_t date) {
  QByteArray e(32, '\0');
  e.replace(0, 11, name11.leftJustified(11, ' ', true));
  e[11] = char(attributes);
  PutLE(e, 20, cluster >> 16, 2);
  PutLE(e, 22, kFatNoon, 2);
  PutLE(e, 24, date, 2);
  PutLE(e, 26, cluster & 0xFFFF, 2);
  PutLE(e, 28, size, 4);
  return e;
}

QString SourceDir() { return QStringLiteral(UNDELVO_SOURCE_DIR); }
QString AnchorsDir() { return SourceDir() + QStringLiteral("/../shared/anchors"); }
QString CliPath() { return QStringLiteral(UNDELVO_CLI); }

QString Unpack(const QString& gzPath, const QString& dir, const QString& name) {
  if (!QFileInfo::exists(gzPath)) return {};
  const QString out = dir + QLatin1Char('/') + name;
  const QString cmd = QStringLiteral("gzip -dc '%1' | cp --sparse=always /dev/stdin '%2'").arg(gzPath, out);
  return Shell(cmd) ? out : QString();
}

DriveEntry ImageDrive(const QString& path, uint64_t offset, uint64_t size, const QString& letter,
                      const QString& fsName, const QString& volumeId) {
  DriveEntry d;
  d.letter = letter;
  d.fsName = fsName;
  d.source = DriveSource{path.toStdString(), offset, size};
  d.volumeId = volumeId;
  return d;
}

bool ZeroFirstMftRecord(const QString& image) {
  QFile f(image);
  if (!f.open(QIODevice::ReadWrite)) return false;
  const QByteArray boot = f.read(512);
  if (boot.size() < 56) return false;
  const qint64 cluster = qint64(quint8(boot[11]) | quint8(boot[12]) << 8) * quint8(boot[13]);
  qint64 mft = 0;
  for (int i = 7; i >= 0; --i) mft = mft << 8 | quint8(boot[48 + i]);
  return f.seek(mft * cluster) && f.write(QByteArray(1024, '\0')) == 1024;
}

bool MakeSparseFile(const QString& path, qint64 size, qint64 offset, const QByteArray& data) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(size)) return false;
  if (!data.isEmpty() && (!f.seek(offset) || f.write(data) != data.size())) return false;
  return true;
}

RecoverRunResult RecoverAll(UndelvoState& state, ProgressSink& progress, const std::vector<FoundRow>& rows) {
  return RecoverRun(state, progress, rows, std::vector<bool>(rows.size(), true));
}

}  // namespace undelvo::test
