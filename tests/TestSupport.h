#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "ntfs/NtfsState.h"
#include "platform/DriveTable.h"
#include "volume/VolumeContext.h"

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

// A drive over `size` bytes of an image from `offset`.
DriveEntry ImageDrive(const QString& path, uint64_t offset, uint64_t size, const QString& letter,
                      const QString& fsName = {}, const QString& volumeId = {});

// A volume context over one drive, selected as DriveRoot; the engine state beside it.
struct TestVolume {
  explicit TestVolume(const DriveEntry& drive) {
    table.drives.push_back(drive);
    ctx.Drives = &table;
    ctx.DriveRoot = drive.letter;
  }
  TestVolume(const TestVolume&) = delete;
  TestVolume& operator=(const TestVolume&) = delete;
  DriveTable table;
  VolumeContext ctx;
  NtfsState ntfs;
};

// Writes `size` bytes of zeros as a sparse file, then `data` at `offset`.
bool MakeSparseFile(const QString& path, qint64 size, qint64 offset = 0, const QByteArray& data = {});

}  // namespace undelvo::test
