#include "platform/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

namespace undelvo {

QString HomeFolder() {
  const QString home = qEnvironmentVariable("HOME");
  return home.isEmpty() ? QDir::homePath() : QDir::cleanPath(home);
}

QString SettingsFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = HomeFolder() + "/.config";
  return QDir::cleanPath(base + "/undelvo");
}

QString ExecutableFolder() {
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  return QFileInfo(exe.symLinkTarget()).absolutePath();
}

QString DataFolder() {
  const QString exeDir = ExecutableFolder();
  if (QFileInfo::exists(exeDir + "/English.ini")) return exeDir;
  return QDir::cleanPath(exeDir + "/../share/undelvo");
}

QString DesktopFolder() {
  // QStandardPaths reads the XDG user-dirs file and falls back to ~/Desktop.
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return desktop.isEmpty() ? HomeFolder() + "/Desktop" : QDir::cleanPath(desktop);
}

}  // namespace undelvo
