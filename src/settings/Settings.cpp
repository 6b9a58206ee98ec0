#include "settings/Settings.h"

#include "platform/Folders.h"
#include "settings/DateTimeValue.h"
#include "settings/Registry.h"

namespace undelvo {

namespace {

QString WithSlash(const QString& dir) {
  return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

}  // namespace

void InitFolders(Settings& settings) {
  settings.ProgramDir = ExecutableFolder();
  settings.WindowsDir = QStringLiteral("/usr/");
  settings.ProgramFilesDir = QStringLiteral("/opt/");
  settings.UserProfileDir = WithSlash(HomeFolder());
  settings.DataDir = DataFolder();
  settings.SaveFolder = WithSlash(DesktopFolder()) + QStringLiteral("Restored Files");
}

void LoadSettings(Settings& settings, RegistryStore& store) {
  const RegRoot user = RegRoot::CurrentUser;
  auto stored = [&](const char* name) { return store.Read(user, kSettingsKey, QLatin1String(name)); };

  if (const auto v = stored("Language")) {
    settings.LangIndex = v->type == RegType::Integer ? v->integer : 0;
  } else {
    RegWriteInteger(store, user, kSettingsKey, QStringLiteral("Language"), settings.LangIndex);
  }
  if (const auto v = stored("SaveDir")) {
    if (v->type == RegType::Text) settings.SaveFolder = v->text;
  } else {
    RegWriteString(store, user, kSettingsKey, QStringLiteral("SaveDir"), settings.SaveFolder);
  }
  if (const auto v = stored("nRecovered")) {
    settings.RecoveredCount = v->type == RegType::Integer ? v->integer : 0;
  } else {
    RegWriteInteger(store, user, kSettingsKey, QStringLiteral("nRecovered"), settings.RecoveredCount);
  }
  if (!stored("LastRun")) RegWriteDateTime(store, user, kSettingsKey, QStringLiteral("LastRun"), DateTimeNow());
  if (!stored("ShowNote")) RegWriteBool(store, user, kSettingsKey, QStringLiteral("ShowNote"), true);
}

QString ExpandFolderVars(const Settings& settings, const QString& s) {
  struct Variable {
    const char* name;
    const QString* folder;
  };
  const Variable variables[] = {
      {"%WINDIR%", &settings.WindowsDir},           {"%SYSTEMROOT%", &settings.WindowsDir},
      {"%PROGRAMFILES%", &settings.ProgramFilesDir}, {"%PROGRAMFILES(X86)%", &settings.ProgramFilesDir},
      {"%USERPROFILE%", &settings.UserProfileDir},
  };
  QString out = AsciiUpper(s);
  for (const Variable& v : variables) {
    // Paths from Windows-style data use "\", our own use "/".
    for (const char* separator : {"\\", "/"}) {
      const QString token = QLatin1String(v.name) + QLatin1String(separator);
      out.replace(token, *v.folder, Qt::CaseInsensitive);
    }
  }
  return out;
}

}  // namespace undelvo
