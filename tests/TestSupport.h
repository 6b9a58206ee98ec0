#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include <string>

#include "found/FoundRows.h"
#include "ntfs/NtfsState.h"
#include "platform/DriveTable.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "scan/RecoverRun.h"
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

// Runs undelvo-cli with its settings (letters, registry, caches) in `configDir`.
CommandResult RunCli(const QString& configDir, const QStringList& args);

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

// A fixture image under tests/data/ (packed as .gz): its file-system name
// and where its volume starts.
struct FixtureVolume {
  const char* image;
  const char* fs;
  uint64_t offset;
};
// The FAT16 image and the FAT32 one behind an MBR.
std::vector<FixtureVolume> FatFixtures();

// One deleted file of a fixture's manifest.
struct ManifestRow {
  QString name, folder;  // folder as "/x/"
  int64_t size = 0;
  bool reused = false;   // its clusters were written over after the deletion
  bool contiguous = false;  // its clusters form one run
  QByteArray sha256;     // hex
};
std::vector<ManifestRow> ReadManifest(const QString& path);

// Whether a name the scan reports stands for `expected` (a manifest name):
// letter case aside, and with the first character of a deleted short name
// shown as "õ". `foundFolder` ("C:\DOCS\õNNER\") likewise against a manifest
// folder ("/docs/inner/"), component by component.
bool SameFoundName(const QString& found, const QString& expected);
bool SameFoundFolder(const QString& foundFolder, const QString& manifestFolder);

// The sha256 of a file's content in hex; empty when it cannot be read.
QByteArray FileSha256(const QString& path);

// Records what a progress display is told, in order ("running", "reset",
// "percent 7", "step 2", "done", "idle"), and presses Stop at a given pump
// or percentage once attached to a run.
struct RecordingSink : ProgressSink {
  RunControl* run = nullptr;
  int pumps = 0, stopAtPump = -1, stopAtPercent = -1;
  std::vector<std::string> events;
  std::vector<int> percents, steps;
  FoundCounters lastFound;

  // Makes this sink's counter the run's pump.
  void Attach(RunControl& control) {
    run = &control;
    control.SetPump([this] {
      if (++pumps == stopAtPump) run->RequestStop();
    });
  }
  void ShowFound(const FoundCounters& counters) override { lastFound = counters; }
  void ShowRunning(bool running) override { events.push_back(running ? "running" : "idle"); }

 protected:
  void OnReset() override { events.push_back("reset"); }
  void OnPercent(int p) override {
    events.push_back("percent " + std::to_string(p));
    percents.push_back(p);
    if (p == stopAtPercent && run) run->RequestStop();
  }
  void OnDone() override { events.push_back("done"); }
  void OnStep(int step) override {
    events.push_back("step " + std::to_string(step));
    steps.push_back(step);
  }
};

// A run that is going on, for calling an engine on its own.
struct BegunRun : RunControl {
  BegunRun() { Begin(); }
};

// Restores every one of `rows`, all of them selected.
RecoverRunResult RecoverAll(UndelvoState& state, ProgressSink& progress, const std::vector<FoundRow>& rows);

// Stores `value` little-endian in `bytes` bytes at `at` of `b`.
void PutLE(QByteArray& b, qsizetype at, uint64_t value, int bytes);

// FAT's packed date of 6 May 2024 and time of noon.
inline constexpr uint16_t kFatDate2024 = ((2024 - 1980) << 9) | (5 << 5) | 6;
inline constexpr uint16_t kFatNoon = 12 << 11;

// A 32-byte FAT directory entry: `name11` (the 8.3 name's bytes, padded with
// spaces to 11), attributes, first cluster and size, written at noon on `date`.
QByteArray FatDirEntry(const QByteArray& name11, uint8_t attributes, uint32_t cluster, uint32_t size = 0,
                       uint16_t date = kFatDate2024);

// Zeroes the first MFT record (the MFT's own) of an NTFS volume image that
// starts at byte 0: the quick scan then has no map of the MFT.
bool ZeroFirstMftRecord(const QString& image);

// Writes `size` bytes of zeros as a sparse file, then `data` at `offset`.
bool MakeSparseFile(const QString& path, qint64 size, qint64 offset = 0, const QByteArray& data = {});

}  // namespace undelvo::test
