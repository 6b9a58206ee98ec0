#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace undelvo::test {

struct CommandResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs a program with arguments (no shell), optionally with extra environment
// entries ("NAME=value"), and waits for it.
CommandResult Run(const QString& program, const QStringList& args, const QStringList& extraEnv = {});

// Runs a shell command line; fails the calling test (ADD_FAILURE) when it exits non-zero.
bool Shell(const QString& commandLine);

// The repository's root folder and the shared reference images beside it.
QString SourceDir();
QString AnchorsDir();
QString CliPath();

// Unpacks a .gz file into `dir` under `name`; returns the unpacked path or empty text.
QString Unpack(const QString& gzPath, const QString& dir, const QString& name);

// Writes `size` bytes of zeros as a sparse file, then `data` at `offset`.
bool MakeSparseFile(const QString& path, qint64 size, qint64 offset = 0, const QByteArray& data = {});

}  // namespace undelvo::test
