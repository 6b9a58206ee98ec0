// Choosing, loading and looking up a language file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "settings/LanguageFile.h"

using namespace undelvo;

namespace {
void WriteFile(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}
}  // namespace

TEST(LanguageFile, ChosenByIndexWithEnglishDefaults) {
  QTemporaryDir dir;
  WriteFile(dir.filePath("French.ini"), "\xEF\xBB\xBF; traduction\r\n[buttons]\r\n startscan = Lancer l'analyse\r\n");
  WriteFile(dir.filePath("English.ini"), "[Buttons]\nStartScan=Start Scan (file)\n");
  LanguageFile lang;

  OpenLanguageFile(lang, 3, dir.path());
  EXPECT_EQ(LangText(lang, "Buttons", "StartScan", "Start Scan"), "Lancer l'analyse");
  EXPECT_EQ(LangText(lang, "Buttons", "Stop", "Stop"), "Stop") << "missing key falls back";
  EXPECT_EQ(LangText(lang, "Drive", "Message3", "Drive not found!"), "Drive not found!");

  for (int index : {1, 7, 0, -1}) {
    OpenLanguageFile(lang, index, dir.path());
    EXPECT_EQ(LangText(lang, "Buttons", "StartScan", "Start Scan"), "Start Scan (file)") << index;
  }

  OpenLanguageFile(lang, 2, dir.path());  // German.ini is absent
  EXPECT_TRUE(lang.IsEmpty());
  EXPECT_EQ(LangText(lang, "Buttons", "StartScan", "Start Scan"), "Start Scan");
}

TEST(LanguageFile, ParsingRules) {
  LanguageFile lang;
  lang.LoadFromText("Orphan=outside any section\n"
                    "[File]\n"
                    "Message2=No files selected! = none\n"
                    "Empty=\n"
                    "Message2=second copy\n"
                    "no separator line\n"
                    "# comment=ignored\n"
                    "[Größe]\n"
                    "Schlüssel=Wert\n");
  EXPECT_EQ(LangText(lang, "File", "Message2", "d"), "No files selected! = none");
  EXPECT_EQ(LangText(lang, "File", "Empty", "default"), "") << "an empty text is a text";
  EXPECT_EQ(LangText(lang, "File", "Orphan", "d"), "d");
  EXPECT_EQ(LangText(lang, "File", "# comment", "d"), "d");
  EXPECT_EQ(LangText(lang, "größe", "SCHLÜSSEL", "d"), "Wert");
}

TEST(LanguageFile, InstalledFilesAnswerThroughTheTableDefaults) {
  LanguageFile lang;
  OpenLanguageFile(lang, 2, QStringLiteral(UNDELVO_SOURCE_DIR "/src/settings/lang"));
  EXPECT_EQ(LangText(lang, "Drive", "Message3"), "Laufwerk nicht gefunden!");
  lang.Clear();
  EXPECT_EQ(LangText(lang, "Drive", "Message3"), "Drive not found!");
  EXPECT_EQ(LangText(lang, "Process", "NotFound1"), "Found 0 deleted files on this drive!");
}
