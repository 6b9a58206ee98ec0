#pragma once
#include <QString>
#include <cstdint>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "ntfs/NtfsState.h"
#include "platform/DriveTable.h"
#include "platform/RegistryStore.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "volume/GeometryCache.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Everything one program instance knows: the drives, the selected volume,
// the found files, the settings and texts. The window or the command-line
// program owns one and hands it to the engines; two never share anything.
struct UndelvoState {
  explicit UndelvoState(const QString& registryPath = RegistryStore::DefaultPath())
      : Registry(registryPath) {
    Volume.Drives = &Drives;
  }
  UndelvoState(const UndelvoState&) = delete;
  UndelvoState& operator=(const UndelvoState&) = delete;

  DriveTable Drives;
  VolumeContext Volume;
  NtfsState Ntfs;
  FatState Fat;
  FoundState Found;
  Settings Config;
  RegistryStore Registry;
  LanguageFile Lang;
  QString GeometryCacheFile = DefaultGeometryCacheFile();
  uint8_t Busy = 0;                      // 1 while a scan or recovery runs
  QString NameMask = QStringLiteral("*.*");
};

}  // namespace undelvo
