#pragma once
#include <QString>
#include <cstdint>

#include "platform/RegistryStore.h"

namespace undelvo {

// Folder values and the settings loaded at start-up. Folder values that name
// directories end in "/", except ProgramDir and SaveFolder.
struct Settings {
  QString ProgramDir;       // the executable's folder
  QString WindowsDir;       // the system's shared data root (/usr/)
  QString ProgramFilesDir;  // where add-on programs live (/opt/)
  QString UserProfileDir;   // the user's home folder
  QString DataDir;          // where the language files are installed
  QString SaveFolder;       // where restored files go
  int32_t LangIndex = 1;
  int32_t RecoveredCount = 0;
};

// Computes the folder values; the default save folder is "Restored Files" on
// the user's Desktop, keeping the desktop path's letter case.
void InitFolders(Settings& settings);

// Reads the stored settings into `settings` and writes the defaults of those
// that are absent: Language 1, SaveDir, nRecovered 0, LastRun now, ShowNote true.
void LoadSettings(Settings& settings, RegistryStore& store);

// Upper-cases a path taken from the registry and replaces the folder
// variables %WINDIR%, %SYSTEMROOT%, %PROGRAMFILES%, %PROGRAMFILES(X86)% and
// %USERPROFILE% (each with its trailing separator) by the folder values.
QString ExpandFolderVars(const Settings& settings, const QString& s);

}  // namespace undelvo
