#pragma once
// What the harnesses share: a scratch folder of the fuzzing process, the
// input written as a disk image, and a drive and volume over that image (the
// way the tests build theirs, without linking them).
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ntfs/NtfsState.h"
#include "platform/DriveTable.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo::fuzz {

// A folder of this process's own below $TMPDIR (else /tmp), made on first use.
const std::string& ScratchDir();

// A path inside ScratchDir().
std::string ScratchPath(const char* name);

// Writes `size` bytes to `path` (replacing it), then extends the file with
// zeros to `padTo` bytes when it is shorter (a sparse tail). False when the
// file cannot be written.
bool WriteImage(const std::string& path, const uint8_t* data, size_t size, uint64_t padTo = 0);

// Removes a file or a folder with everything in it; quiet when it is absent.
void RemoveTree(const std::string& path);

// A drive "C:" over `size` bytes of the image at `path` from `offset`. An
// empty file-system name lets the boot sector decide, as it does for a
// volume the system cannot name.
DriveEntry ImageDrive(const std::string& path, uint64_t offset, uint64_t size, const QString& fsName = {});

// A volume context over one drive, selected as DriveRoot, with the NTFS
// engine state beside it.
struct ImageVolume {
  explicit ImageVolume(const DriveEntry& drive) {
    table.drives.push_back(drive);
    ctx.Drives = &table;
    ctx.DriveRoot = drive.letter;
  }
  ImageVolume(const ImageVolume&) = delete;
  ImageVolume& operator=(const ImageVolume&) = delete;
  DriveTable table;
  VolumeContext ctx;
  NtfsState ntfs;
};

// A progress display that shows nothing.
struct NullSink : ProgressSink {};

// A run that is going on, for calling an engine on its own.
struct BegunRun : RunControl {
  BegunRun() { Begin(); }
};

// Stops the process the way a sanitizer report does, so that libFuzzer keeps
// the input: for properties the engines promise that no sanitizer checks.
[[noreturn]] void Fail(const char* what);

}  // namespace undelvo::fuzz
