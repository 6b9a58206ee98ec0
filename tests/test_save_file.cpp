// Where restored files are written: safe names, free names, no replacing.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "found/SaveFile.h"

using namespace undelvo;

TEST(SaveFile, NamesStayOneComponentInsideTheFolder) {
  const std::pair<QString, QString> cases[] = {
      {"../../etc/passwd", ".._.._etc_passwd"}, {"..", "_.."}, {".", "_."},
      {QString("a") + QChar(0) + "b.txt", "a_b.txt"}, {"", "_"}, {"Grüße.txt", "Grüße.txt"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(SafeFileName(in), out) << in.toStdString();
}

TEST(SaveFile, FreeNamesNeverReplaceOrFollowLinks) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("save/sub");
  struct Case {
    QString name, expected;
  };
  QFile(dir.filePath("victim")).open(QIODevice::WriteOnly);
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_EQ(symlink(qPrintable(dir.filePath("victim")), qPrintable(folder + "/link.txt")), 0);
  const Case cases[] = {
      {"report.doc", "report.doc"},
      {"report.doc", "report(1).doc"},
      {"report.doc", "report(2).doc"},
      {"archive.tar.gz", "archive.tar.gz"},
      {"archive.tar.gz", "archive(1).tar.gz"},
      {"README", "README"},
      {"README", "(1)README"},
      {"link.txt", "link(1).txt"},  // an existing link is left alone
  };
  for (const Case& c : cases) {
    RestoredFile file;
    ASSERT_TRUE(file.Create({folder, c.name, {}})) << c.name.toStdString();
    file.Write("x", 1);
    const RestoreOutcome outcome = file.Finish();
    EXPECT_TRUE(outcome.Written());
    EXPECT_EQ(outcome.path, folder + "/" + c.expected);
  }
  EXPECT_EQ(QFileInfo(dir.filePath("victim")).size(), 0);
}
