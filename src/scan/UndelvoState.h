#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "ntfs/NtfsState.h"
#include "platform/DriveTable.h"
#include "platform/RegistryStore.h"
#include "run/RunControl.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "volume/GeometryCache.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// What lives as long as the program: the drives, the settings and the
// registry they come from, the texts, the geometry cache file.
struct ProgramState {
  explicit ProgramState(const QString& registryPath) : Registry(registryPath) {}
  DriveTable Drives;
  Settings Config;
  RegistryStore Registry;
  LanguageFile Lang;
  QString GeometryCacheFile = DefaultGeometryCacheFile();
};

// What one scan sets up and its results need until the next scan: the
// selected volume, the engines' state, the found files and the scan's mask.
struct ScanState {
  VolumeContext Volume;
  NtfsState Ntfs;
  FatState Fat;
  FoundState Found;
  QString NameMask = QStringLiteral("*.*");
  QString MountPoint;  // where the volume is mounted; empty when it is not
};

// Everything one program instance knows, in its three lifetimes. The window
// or the command-line program owns one and hands its parts to the engines;
// two never share anything.
struct UndelvoState {
  explicit UndelvoState(const QString& registryPath = RegistryStore::DefaultPath()) : Program(registryPath) {
    Scan.Volume.Drives = &Program.Drives;
  }
  UndelvoState(const UndelvoState&) = delete;
  UndelvoState& operator=(const UndelvoState&) = delete;

  ProgramState Program;
  ScanState Scan;
  RunControl Run;  // the scan, list build or recovery going on
};

}  // namespace undelvo
