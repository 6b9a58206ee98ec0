// The typed registry store, the settings loaded from it and the folder values.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/RegistryStore.h"
#include "settings/DateTimeValue.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

using namespace undelvo;

namespace {
const RegRoot kUser = RegRoot::CurrentUser;
const QString kKey = kSettingsKey;
}  // namespace

TEST(RegistryStore, ValuesSurviveARestartAndKeepTheirTypes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("undelvo/registry.reg");
  {
    RegistryStore store(path);
    RegWriteString(store, kUser, kKey, "SaveDir", "/home/Demo/Restored \"Files\"\\x\nÄ");
    RegWriteInteger(store, kUser, kKey, "Language", 3);
    RegWriteInteger(store, kUser, kKey, "Negative", -7);
    RegWriteBool(store, kUser, kKey, "ShowNote", true);
    RegWriteDateTime(store, kUser, kKey, "LastRun", 45000.25);
    RegWriteInteger(store, RegRoot::ClassesRoot, ".doc", "", 1);
  }
  const RegistryStore reopened(path);  // a new process sees the same file
  EXPECT_EQ(reopened.Read(kUser, kKey, "savedir")->text, "/home/Demo/Restored \"Files\"\\x\nÄ");
  EXPECT_EQ(RegReadString(reopened, kUser, "software\\morrowvane\\UNDELVO", "SaveDir"),
            "/HOME/DEMO/RESTORED \"FILES\"\\X\nÄ");
  EXPECT_EQ(RegReadInteger(reopened, kUser, kKey, "Language"), 3);
  EXPECT_EQ(RegReadInteger(reopened, kUser, kKey, "Negative"), -7);
  EXPECT_TRUE(RegReadBool(reopened, kUser, kKey, "ShowNote"));
  EXPECT_DOUBLE_EQ(RegReadDateTime(reopened, kUser, kKey, "LastRun"), 45000.25);
  EXPECT_EQ(RegReadInteger(reopened, kUser, kKey, "Language"), 3);
  EXPECT_FALSE(reopened.Read(kUser, ".doc", "").has_value()) << "roots are separate";

  // A value read as another type gives the reader's default.
  const double before = DateTimeNow();
  EXPECT_EQ(RegReadInteger(reopened, kUser, kKey, "SaveDir"), 0);
  EXPECT_EQ(RegReadString(reopened, kUser, kKey, "Language"), "");
  EXPECT_FALSE(RegReadBool(reopened, kUser, kKey, "SaveDir"));
  EXPECT_GE(RegReadDateTime(reopened, kUser, kKey, "Language"), before);
  EXPECT_EQ(RegReadString(reopened, kUser, "SOFTWARE\\Nobody", "X"), "");
}

TEST(RegistryStore, UnreadableOrDamagedStoreGivesDefaultsAndNoCrash) {
  QTemporaryDir dir;
  const QString path = dir.filePath("registry.reg");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("garbage\n[HKEY_CURRENT_USER\\SOFTWARE\\Morrowvane\\Undelvo]\n\"Language\"=dword:zz\n"
          "\"Broken=\n\"ok\"=dword:00000002\n\"bin\"=hex:1,2,300\n");
  f.close();
  RegistryStore store(path);
  EXPECT_EQ(RegReadInteger(store, kUser, kKey, "Language"), 0);
  EXPECT_EQ(RegReadInteger(store, kUser, kKey, "ok"), 2);
  RegWriteInteger(store, kUser, kKey, "Language", 4);  // rewriting keeps the good values
  EXPECT_EQ(RegReadInteger(store, kUser, kKey, "Language"), 4);
  EXPECT_EQ(RegReadInteger(store, kUser, kKey, "ok"), 2);

  RegistryStore unwritable(QStringLiteral("/proc/undelvo-no-such/registry.reg"));
  RegWriteInteger(unwritable, kUser, kKey, "Language", 4);
  EXPECT_EQ(RegReadInteger(unwritable, kUser, kKey, "Language"), 0);
}

TEST(RegistryStore, ACrashWhileWritingLeavesACompleteFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("registry.reg");
  RegistryStore store(path);
  const QString big(200000, QLatin1Char('v'));
  RegWriteString(store, kUser, kKey, "Value", big + "0");
  for (int round = 0; round < 5; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 1;; ++i) RegWriteString(store, kUser, kKey, "Value", big + QString::number(i));
    }
    usleep(20000 + round * 7000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const QString v = RegReadString(store, kUser, kKey, "Value");
    ASSERT_TRUE(v.startsWith(big.toUpper())) << "round " << round << ": value lost or cut";
    ASSERT_GT(v.size(), big.size());
  }
}

TEST(Settings, FirstRunWritesDefaultsLaterRunsKeepTheUsersValues) {
  QTemporaryDir dir;
  RegistryStore store(dir.filePath("registry.reg"));
  Settings s;
  s.SaveFolder = "/home/Demo/Desktop/Restored Files";
  const double before = DateTimeNow();
  LoadSettings(s, store);
  EXPECT_EQ(RegReadInteger(store, kUser, kKey, "Language"), 1);
  EXPECT_EQ(store.Read(kUser, kKey, "SaveDir")->text, "/home/Demo/Desktop/Restored Files");
  EXPECT_EQ(store.Read(kUser, kKey, "nRecovered")->type, RegType::Integer);
  EXPECT_GE(RegReadDateTime(store, kUser, kKey, "LastRun"), before);
  EXPECT_TRUE(RegReadBool(store, kUser, kKey, "ShowNote"));
  for (const char* absent : {"nFound", "InstallStat", "CompilerVersion"})
    EXPECT_FALSE(store.Read(kUser, kKey, absent).has_value()) << absent;

  RegWriteString(store, kUser, kKey, "SaveDir", "/media/Backup/Mixed Case");
  RegWriteInteger(store, kUser, kKey, "Language", 5);
  RegWriteInteger(store, kUser, kKey, "nRecovered", 12);
  RegWriteDateTime(store, kUser, kKey, "LastRun", 40000.5);
  Settings next;
  next.SaveFolder = "/default";
  LoadSettings(next, store);
  EXPECT_EQ(next.SaveFolder, "/media/Backup/Mixed Case") << "read without upper-casing";
  EXPECT_EQ(next.LangIndex, 5);
  EXPECT_EQ(next.RecoveredCount, 12);
  EXPECT_DOUBLE_EQ(RegReadDateTime(store, kUser, kKey, "LastRun"), 40000.5);
}

TEST(Settings, DefaultSaveFolderIsOnTheXdgDesktopKeepingItsCase) {
  QTemporaryDir home;
  ASSERT_TRUE(QDir(home.path()).mkpath(".config"));
  QFile dirs(home.filePath(".config/user-dirs.dirs"));
  ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
  dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreib Tisch\"\n");
  dirs.close();
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
  Settings s;
  InitFolders(s);
  qputenv("HOME", oldHome);
  qputenv("XDG_CONFIG_HOME", oldConfig);
  EXPECT_EQ(s.SaveFolder, home.path() + "/Schreib Tisch/Restored Files");
  EXPECT_EQ(s.UserProfileDir, home.path() + "/");
  EXPECT_FALSE(s.ProgramDir.endsWith('/'));
  EXPECT_TRUE(QFileInfo(s.ProgramDir).isDir());
}

TEST(Settings, ExpandFolderVars) {
  Settings s;
  s.WindowsDir = "/usr/";
  s.ProgramFilesDir = "/opt/Apps/";
  s.UserProfileDir = "/home/Demo/";
  const std::pair<const char*, const char*> cases[] = {
      {"%ProgramFiles%\\Viewer\\view.exe /open", "/opt/Apps/VIEWER\\VIEW.EXE /OPEN"},
      {"%programfiles(x86)%/viewer/v.exe", "/opt/Apps/VIEWER/V.EXE"},
      {"%SystemRoot%\\system32\\a.dll %windir%\\b.exe", "/usr/SYSTEM32\\A.DLL /usr/B.EXE"},
      {"%UserProfile%\\x", "/home/Demo/X"},
      {"%SystemDrive%\\x", "%SYSTEMDRIVE%\\X"},
      {"notepad.exe %1", "NOTEPAD.EXE %1"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ExpandFolderVars(s, in), out) << in;
}

TEST(DateTimeValue, RoundTripsAndKnownPoints) {
  EXPECT_EQ(FromDateTimeValue(0).date(), QDate(1899, 12, 30));
  EXPECT_EQ(FromDateTimeValue(45000.5), QDateTime(QDate(2023, 3, 15), QTime(12, 0)));
  const QDateTime t(QDate(2026, 12, 10), QTime(8, 30, 15));
  EXPECT_EQ(FromDateTimeValue(ToDateTimeValue(t)), t);
}
