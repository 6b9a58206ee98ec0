#include "TestSupport.h"

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

bool MakeSparseFile(const QString& path, qint64 size, qint64 offset, const QByteArray& data) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(size)) return false;
  if (!data.isEmpty() && (!f.seek(offset) || f.write(data) != data.size())) return false;
  return true;
}

}  // namespace undelvo::test
