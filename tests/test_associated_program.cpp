// The program associated with an extension in the registry's classes root,
// and the executable cut out of an association's command line.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/RegistryStore.h"
#include "settings/AssociatedProgram.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

using namespace undelvo;

namespace {

const RegRoot kClasses = RegRoot::ClassesRoot;

// Windows-style folders, so that expanded paths read as on the system the
// associations come from.
Settings WindowsFolders() {
  Settings s;
  s.WindowsDir = QStringLiteral("C:\\WINDOWS\\");
  s.ProgramFilesDir = QStringLiteral("C:\\PROGRAM FILES\\");
  s.UserProfileDir = QStringLiteral("C:\\USERS\\DEMO\\");
  return s;
}

struct CommandCase {
  const char* name;
  const char* commandLine;
  const char* expected;
};

}  // namespace

TEST(ExtractProgramPath, CutsTheExecutableOutOfCommandLines) {
  const CommandCase cases[] = {
      {"quoted path and quoted argument", "\"C:\\Program Files\\Editor\\edit.exe\" \"%1\"",
       "C:\\PROGRAM FILES\\EDITOR\\EDIT.EXE"},
      {"folder variable", "%SystemRoot%\\System32\\notepad.exe %1", "C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE"},
      {"launcher in front, entry point after a comma", "rundll32.exe C:\\Windows\\System32\\viewer.dll,Show %1",
       "C:\\WINDOWS\\SYSTEM32\\VIEWER.DLL"},
      {"blanks and control characters around", "\x01\t C:\\Apps\\Tool.EXE -x \r\n", "C:\\APPS\\TOOL.EXE"},
      {"the earliest program extension wins", "run.bat lib.dll", "RUN.BAT"},
      {"control panel item", "C:\\W\\DESK.CPL,@0", "C:\\W\\DESK.CPL"},
      {"script", "C:\\W\\RUN.CMD /C %1", "C:\\W\\RUN.CMD"},
      {"control", "C:\\W\\PLAY.OCX,2", "C:\\W\\PLAY.OCX"},
      {"applet", "C:\\W\\DATE.APL %1", "C:\\W\\DATE.APL"},
      {"start in front", "start notepad.exe %1", "NOTEPAD.EXE"},
      {"another extension keeps its arguments", "C:\\Tools\\view.scr /s %1", "C:\\TOOLS\\VIEW.SCR /S %1"},
      {"another extension ends before a second path", "C:\\Tools\\view.scr D:\\data\\x.txt",
       "C:\\TOOLS\\VIEW.SCR "},
      {"name with a dot before a comma", "viewer.scr,1", "VIEWER.SCR"},
      {"number before a comma, drive after it", "1,C:view.scr", "C:VIEW.SCR"},
      {"no dot at all stays whole", "notes,pad", "NOTES,PAD"},
      {"empty", "", ""},
      {"only blanks", "   \t  ", ""},
  };
  const Settings folders = WindowsFolders();
  for (const CommandCase& c : cases)
    EXPECT_EQ(ExtractProgramPath(folders, QString::fromLatin1(c.commandLine)), QString::fromLatin1(c.expected))
        << c.name;

  // The program's own folders are put in as they are, not upper-cased.
  Settings ownFolders;
  ownFolders.WindowsDir = QStringLiteral("/usr/");
  EXPECT_EQ(ExtractProgramPath(ownFolders, QStringLiteral("%windir%\\system32\\notepad.exe %1")),
            QStringLiteral("/usr/SYSTEM32\\NOTEPAD.EXE"));
}

class AssociatedProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    store_ = std::make_unique<RegistryStore>(dir_.filePath(QStringLiteral("registry.reg")));
    // A small classes root, as an export of it reads: extensions naming file
    // types, the types' commands.
    QFile file(store_->FilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(Windows Registry Editor Version 5.00

[HKEY_CLASSES_ROOT\.doc]
""="Word.Document.8"
[HKEY_CLASSES_ROOT\Word.Document.8\shell\open\command]
""="\"C:\\Program Files\\Office\\winword.exe\" /n \"%1\""
[HKEY_CLASSES_ROOT\Word.Document.8\shell\edit\command]
""="C:\\Other\\edit.exe \"%1\""

[HKEY_CLASSES_ROOT\.txt]
""="txtfile"
[HKEY_CLASSES_ROOT\txtfile\shell\edit\command]
""="%SystemRoot%\\system32\\NOTEPAD.EXE %1"

[HKEY_CLASSES_ROOT\.scr]
""="scrfile"
[HKEY_CLASSES_ROOT\scrfile\shell\open\command]
""="\"%1\" /S"

[HKEY_CLASSES_ROOT\.gone]
""="gonefile"
[HKEY_CLASSES_ROOT\gonefile\shell\open\command]
""="C:\\Removed\\gone.exe %1"
[HKEY_CLASSES_ROOT\gonefile\shell\edit\command]
""="C:\\Other\\edit.exe %1"

[HKEY_CLASSES_ROOT\.bare]
""="barefile"
[HKEY_CLASSES_ROOT\barefile\shell\open]
""="no command key below"

[HKEY_CLASSES_ROOT\.loop]
""=""

[HKEY_CLASSES_ROOT\.num]
""=dword:00000007
[HKEY_CLASSES_ROOT\7\shell\open\command]
""="C:\\Other\\edit.exe"

[HKEY_CURRENT_USER\.user]
""="Word.Document.8"
)");
    file.close();
    existing_ = {"C:\\PROGRAM FILES\\OFFICE\\WINWORD.EXE", "C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE",
                 "C:\\OTHER\\EDIT.EXE"};
  }

  void Write(const char* key, const RegValue& value) {
    ASSERT_TRUE(store_->Write(kClasses, QString::fromLatin1(key), QString(), value));
  }

  // The answer, and records which paths the existence check was asked about.
  QString Lookup(const QString& ext, const Settings& folders = WindowsFolders()) {
    return GetAssociatedProgram(*store_, folders, ext, [this](const QString& path) {
      checked_ << path;
      return existing_.contains(path);
    });
  }

  QTemporaryDir dir_;
  std::unique_ptr<RegistryStore> store_;
  QStringList existing_;
  QStringList checked_;
};

TEST_F(AssociatedProgram, FollowsTheFileTypeToItsOpenOrEditCommand) {
  EXPECT_EQ(Lookup(".doc"), "C:\\PROGRAM FILES\\OFFICE\\WINWORD.EXE");
  EXPECT_EQ(Lookup(".DOC"), "C:\\PROGRAM FILES\\OFFICE\\WINWORD.EXE") << "keys compare without letter case";
  // No open command: the edit command's program.
  EXPECT_EQ(Lookup(".txt"), "C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE");
  // An open command whose program is gone gives nothing; the edit command is not tried then.
  EXPECT_EQ(Lookup(".gone"), "");
  EXPECT_EQ(checked_.last(), "C:\\REMOVED\\GONE.EXE");
}

TEST_F(AssociatedProgram, MissingOrUnusableEntriesGiveNothing) {
  // .user is under the current user, not the classes root.
  const char* none[] = {".nosuch", ".loop", ".bare", ".num", ".user", ".scr"};
  for (const char* ext : none) EXPECT_EQ(Lookup(QString::fromLatin1(ext)), "") << ext;
  // Only the command that yields a path reaches the existence check: the
  // file-name placeholder of .scr is kept with its argument, "%1 /S".
  EXPECT_EQ(checked_, QStringList{"%1 /S"});
}

TEST_F(AssociatedProgram, AnEmptyExtensionHasNoAssociation) {
  EXPECT_EQ(Lookup(""), "");
  // Not even when the classes root's own default value names a file type.
  Write("", RegValue::Text("Word.Document.8"));
  EXPECT_EQ(Lookup(""), "");
  EXPECT_TRUE(checked_.isEmpty());
}

TEST_F(AssociatedProgram, TheDefaultCheckWantsAProgramFileAtThePathAsItIs) {
  QTemporaryDir home;
  Settings folders;
  folders.UserProfileDir = home.path() + QLatin1Char('/');
  QFile program(home.filePath(QStringLiteral("VIEW.EXE")));
  ASSERT_TRUE(program.open(QIODevice::WriteOnly));
  program.close();
  ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("TOOLS.EXE")));
  Write(".view", RegValue::Text("viewfile"));
  Write("viewfile\\shell\\open\\command", RegValue::Text("\"%UserProfile%\\view.exe\" \"%1\""));
  Write(".tool", RegValue::Text("toolfile"));
  Write("toolfile\\shell\\open\\command", RegValue::Text("%UserProfile%\\tools.exe %1"));

  EXPECT_EQ(GetAssociatedProgram(*store_, folders, ".view"), home.filePath(QStringLiteral("VIEW.EXE")));
  EXPECT_EQ(GetAssociatedProgram(*store_, folders, ".tool"), "") << "a folder is not a program";
  EXPECT_EQ(GetAssociatedProgram(*store_, WindowsFolders(), ".doc"), "") << "no C:\\ on this system";
}
