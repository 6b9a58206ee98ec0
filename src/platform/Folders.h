#pragma once
#include <QString>

namespace undelvo {

// Where the program keeps its writable files (settings, remembered drive
// letters, geometry cache): $XDG_CONFIG_HOME/undelvo, else ~/.config/undelvo.
QString SettingsFolder();

// The folder of the running executable, without a trailing separator.
QString ExecutableFolder();

// Where the installed read-only data (language files) lives: the executable's
// folder when it holds English.ini (build tree), else ../share/undelvo beside it.
QString DataFolder();

// The user's Desktop folder (XDG user dirs), without a trailing separator.
QString DesktopFolder();

// The user's home folder, without a trailing separator.
QString HomeFolder();

}  // namespace undelvo
