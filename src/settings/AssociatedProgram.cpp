#include "settings/AssociatedProgram.h"

#include <QFileInfo>

#include "platform/RegistryStore.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

namespace undelvo {

namespace {

// Removes blanks and control characters (everything up to the space) from both ends.
QString TrimBlanksAndControls(const QString& s) {
  qsizetype first = 0;
  qsizetype last = s.size();
  while (first < last && s[first].unicode() <= ' ') ++first;
  while (last > first && s[last - 1].unicode() <= ' ') --last;
  return s.mid(first, last - first);
}

// The command line stored for `verb` ("open", "edit") of the file type `type`.
QString VerbCommand(const RegistryStore& store, const QString& type, const char* verb) {
  const QString key = type + QStringLiteral("\\shell\\") + QLatin1String(verb) + QStringLiteral("\\command");
  return RegReadString(store, RegRoot::ClassesRoot, key, QString());
}

}  // namespace

bool ProgramFileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

QString GetAssociatedProgram(const RegistryStore& store, const Settings& settings, const QString& ext,
                             const ProgramFileCheck& exists) {
  // A name without an extension has no file type; the classes root's own
  // default value is not one.
  if (ext.isEmpty()) return {};
  const QString type = RegReadString(store, RegRoot::ClassesRoot, ext, QString());
  if (type.isEmpty()) return {};
  QString command = VerbCommand(store, type, "open");
  if (command.isEmpty()) command = VerbCommand(store, type, "edit");
  if (command.isEmpty()) return {};
  const QString program = ExtractProgramPath(settings, command);
  if (program.isEmpty() || !exists(program)) return {};
  return program;
}

QString ExtractProgramPath(const Settings& settings, const QString& commandLine) {
  QString s = TrimBlanksAndControls(commandLine);
  if (s.isEmpty()) return {};
  s = ExpandFolderVars(settings, s);
  s.remove(QLatin1Char('"'));

  // Start at the drive letter of the first "X:\" (drops a launcher in front, such as RUNDLL32.EXE).
  const QLatin1String driveRoot(":\\");
  const qsizetype firstRoot = s.indexOf(driveRoot);
  if (firstRoot > 1) s.remove(0, firstRoot - 1);
  // End before the drive letter of a second "X:\" (a path among the arguments).
  const qsizetype secondRoot = s.mid(2).indexOf(driveRoot);
  if (secondRoot > 1) s.truncate(secondRoot + 1);

  // End with the first program extension; taken in turn, each cut can only shorten.
  for (const char* extension : {".EXE", ".DLL", ".BAT", ".CMD", ".CPL", ".APL", ".OCX"}) {
    const qsizetype at = s.indexOf(QLatin1String(extension));
    if (at >= 0) s.truncate(at + 4);
  }
  if (s.startsWith(QLatin1String("START "))) s.remove(0, 6);

  // A comma: "number,path" keeps the path; "file.ext,argument" keeps the file.
  const qsizetype comma = s.indexOf(QLatin1Char(','));
  if (comma >= 0) {
    const qsizetype colon = s.indexOf(QLatin1Char(':'));
    if (colon > comma) s.remove(0, comma + 1);
    // Only a name that has a dot before the comma is cut after its last
    // dot's extension; a text without any dot stays whole.
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0 && dot < comma) s.truncate(s.lastIndexOf(QLatin1Char('.')) + 4);
  }
  return s;
}

}  // namespace undelvo
