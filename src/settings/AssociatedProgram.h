#pragma once
#include <QString>
#include <functional>

namespace undelvo {

class RegistryStore;
struct Settings;

// Whether a program file lies at `path`.
using ProgramFileCheck = std::function<bool(const QString& path)>;

// The default check: a file (not a folder) exists at `path`, taken as it
// is. A Windows path such as "C:\..." never exists on Linux.
bool ProgramFileExists(const QString& path);

// The program that the registry's classes root associates with files of
// extension `ext` (dot included): the file type named by the default value
// of key `ext`, that type's "shell\open\command" (or, when it has none, its
// "shell\edit\command"), and the executable cut out of that command line by
// ExtractProgramPath. The path, upper-cased apart from any folder put in for
// a folder variable, when `exists` finds that program file; otherwise the
// empty string. An empty extension has no association.
QString GetAssociatedProgram(const RegistryStore& store, const Settings& settings, const QString& ext,
                             const ProgramFileCheck& exists = ProgramFileExists);

// The executable's path in an association's command line: trimmed of blanks
// and control characters, upper-cased with its folder variables replaced
// (ExpandFolderVars), without double quotes, starting at the drive letter of
// the first "X:\" and ending before a second one, cut after the first of
// .EXE, .DLL, .BAT, .CMD, .CPL, .APL and .OCX, without a leading "START ",
// and without what follows a comma (a resource number, an entry point).
// An executable of any other kind keeps what follows it (its arguments).
// The empty string for an empty or blank command line.
QString ExtractProgramPath(const Settings& settings, const QString& commandLine);

}  // namespace undelvo
