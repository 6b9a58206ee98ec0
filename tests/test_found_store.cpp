// The found-file store: sections, unique keys, entry values and rows.
#include <gtest/gtest.h>

#include "found/DataItem.h"
#include "found/EntryValue.h"
#include "found/FoundState.h"
#include "found/RecordFoundFile.h"

using namespace undelvo;

TEST(FoundFiles, CaseInsensitiveSectionsAndKeysKeepTheirOrder) {
  FoundFiles f;
  f.Write("DOC", "Report.doc", "1");
  f.Write("JPG", "a.jpg", "2");
  f.Write("doc", "Ärger.doc", "3");
  f.Write("Doc", "REPORT.DOC", "4");  // replaces in place, keeps the first spelling
  f.Write("DOC", "ärger.DOC", "5");   // non-ASCII letters fold too

  QStringList names, keys;
  f.ReadSectionNames(names);
  EXPECT_EQ(names, (QStringList{"DOC", "JPG"}));
  f.ReadKeys("dOc", keys);
  EXPECT_EQ(keys, (QStringList{"Report.doc", "Ärger.doc"}));
  EXPECT_EQ(f.Read("DOC", "report.DOC"), "4");
  EXPECT_EQ(f.Read("DOC", "ÄRGER.doc"), "5");
  EXPECT_EQ(f.Read("DOC", "missing.doc"), "");
  EXPECT_EQ(f.Read("NONE", "a"), "");
  f.ReadKeys("NONE", keys);
  EXPECT_TRUE(keys.isEmpty());
  EXPECT_TRUE(f.KeyExists("jpg", "A.JPG"));
  f.Clear();
  f.ReadSectionNames(names);
  EXPECT_TRUE(names.isEmpty());
  EXPECT_FALSE(f.KeyExists("JPG", "a.jpg"));
}

TEST(RecordFoundFile, DuplicateNamesGetEachWritersKeys) {
  struct Case {
    FoundFileWriter writer;
    QStringList names;
    QStringList expectedKeys;
  };
  const Case cases[] = {
      {FoundFileWriter::Ntfs, {"REPORT.DOC", "REPORT.DOC", "report.doc"}, {"REPORT.DOC", "REPORT(1).DOC", "report(2).doc"}},
      {FoundFileWriter::Fat, {"REPORT.DOC", "REPORT.DOC", "report.doc"}, {"REPORT.DOC", "REPORT.DOC(1)", "report.doc(2)"}},
      {FoundFileWriter::Ntfs, {"a.b.txt", "a.b.txt"}, {"a.b.txt", "a.b(1).txt"}},
      {FoundFileWriter::RecycleBin, {"$RAB12CD.jpg", "$RAB12CD.jpg"}, {"$RAB12CD.jpg"}},
  };
  for (const Case& c : cases) {
    FoundState s;
    for (int i = 0; i < c.names.size(); ++i)
      RecordFoundFile(s, c.writer, c.names[i], QStringLiteral("%1#C:\\#2024/01/02#10").arg(i));
    QStringList keys;
    s.FoundFiles.ReadSectionNames(keys);
    ASSERT_EQ(keys.size(), 1);
    s.FoundFiles.ReadKeys(keys.first(), keys);
    EXPECT_EQ(keys, c.expectedKeys) << c.names.join(',').toStdString();
    EXPECT_EQ(s.FoundCount, c.names.size());
    EXPECT_EQ(s.TotalOfCategories(), c.names.size());
  }
}

TEST(RecordFoundFile, EveryFileOfASharedNameKeepsItsOwnKey) {
  // Hundreds of deleted files can share a name (one per folder): none may
  // replace another, and the search for a free number resumes where it ended.
  FoundState s;
  for (int i = 0; i < 300; ++i) RecordFoundFile(s, FoundFileWriter::Ntfs, "REPORT.DOC", QString::number(i) + "#p#d#1");
  s.FoundFiles.Write("DOC", "REPORT(301).DOC", "x#p#d#1");  // a real name that looks numbered
  RecordFoundFile(s, FoundFileWriter::Ntfs, "report.doc", "300#p#d#1");
  RecordFoundFile(s, FoundFileWriter::Ntfs, "REPORT.DOC", "301#p#d#1");
  QStringList keys;
  s.FoundFiles.ReadKeys("DOC", keys);
  EXPECT_EQ(keys.size(), 303);
  EXPECT_EQ(keys[299], "REPORT(299).DOC");
  EXPECT_EQ(s.FoundFiles.Read("DOC", "REPORT(299).DOC"), "299#p#d#1");
  EXPECT_EQ(keys.last(), "REPORT(302).DOC");
  EXPECT_EQ(s.FoundFiles.Read("DOC", "report(300).doc"), "300#p#d#1");
  EXPECT_EQ(s.FoundCount, 302);
}

TEST(RecordFoundFile, OtherFilesGoToTheirListExceptFromTheRecycleBin) {
  FoundState s;
  EXPECT_EQ(RecordFoundFile(s, FoundFileWriter::Fat, "a=b.zip", "5#C:\\#2024/01/02#10"), 6);
  RecordFoundFile(s, FoundFileWriter::Ntfs, "a=b.zip", "7#C:\\#d#10");
  RecordFoundFile(s, FoundFileWriter::RecycleBin, "desktop.ini", "R#C:\\$RECYCLE.BIN\\S-1\\desktop.ini#d#10");
  RecordFoundFile(s, FoundFileWriter::RecycleBin, "desktop.ini", "R#C:\\$RECYCLE.BIN\\S-2\\desktop.ini#d#20");
  EXPECT_EQ(s.OtherFiles, (QStringList{"a=b.zip=5#C:\\#2024/01/02#10", "a=b.zip=7#C:\\#d#10"}));
  EXPECT_EQ(s.FoundFiles.Read("OTHER", "desktop.ini"), "R#C:\\$RECYCLE.BIN\\S-2\\desktop.ini#d#20");
  EXPECT_EQ(s.FoundCount, 4);
  EXPECT_EQ(s.CategoryCount[6], 4);
  EXPECT_EQ(s.FileCategory, 6);

  // A name holding "=" keeps it; only the locator may follow the separator.
  EXPECT_EQ(OtherFilesName(s.OtherFiles[0]), "a=b.zip");
  EXPECT_EQ(OtherFilesValue(s.OtherFiles[0]), "5#C:\\#2024/01/02#10");
  EXPECT_EQ(OtherFilesName("x#y=z.zip=R#C:\\bin\\x#y=z.zip#d#1"), "x#y=z.zip");
  EXPECT_EQ(OtherFilesValue("x#y=z.zip=R#C:\\bin\\x#y=z.zip#d#1"), "R#C:\\bin\\x#y=z.zip#d#1");

  s.ResetForScan();
  EXPECT_TRUE(s.OtherFiles.isEmpty());
  EXPECT_EQ(s.FoundCount + s.TotalOfCategories() + s.ScannedCount, 0);
  EXPECT_EQ(s.FoundFiles.SectionCount(), 0);
}

TEST(EntryValue, ParsesFieldsWith64BitNumbersAndHashesInPaths) {
  struct Case {
    QString value;
    int64_t locator;
    QString path, date;
    int64_t size;
  };
  const Case cases[] = {
      {"1024#C:\\docs\\#12/05/2024#3000000000", 1024, "C:\\docs\\", "12/05/2024", 3000000000LL},
      {"R#C:\\$RECYCLE.BIN\\$R1.doc#1899-12-30#5", 0, "C:\\$RECYCLE.BIN\\$R1.doc", "1899-12-30", 5},
      {"8#C:\\C#\\notes#v2\\#2024/01/02#77", 8, "C:\\C#\\notes#v2\\", "2024/01/02", 77},
      {"5368709120#C:\\#d#x12", 5368709120LL, "C:\\", "d", 0},
      {"99999999999999999999999#C:\\#d#1", INT64_MAX, "C:\\", "d", 1},
      {"12", 12, "", "", 0},
  };
  for (const Case& c : cases) {
    const EntryValue e = ParseEntryValue(c.value);
    EXPECT_EQ(e.locator, c.locator) << c.value.toStdString();
    EXPECT_EQ(e.path, c.path) << c.value.toStdString();
    EXPECT_EQ(e.date, c.date) << c.value.toStdString();
    EXPECT_EQ(e.size, c.size) << c.value.toStdString();
  }
  EXPECT_TRUE(ParseEntryValue("R#x#d#1").IsRecycleBin());
  EXPECT_EQ(ParseEntryValue(JoinEntryValue("4096", "C:\\a#b\\", "d", 5000000000LL)).path, "C:\\a#b\\");
}

TEST(DataItem, RowsShowKilobytesRoundedHalfToEvenAndCutTexts) {
  const std::pair<int64_t, const char*> sizes[] = {
      {0, "0 kb"},       {511, "0 kb"},    {512, "0 kb"},     {513, "1 kb"},   {1536, "2 kb"},
      {2560, "2 kb"},    {2561, "3 kb"},   {3000000000LL, "2929688 kb"}, {-5, "0 kb"}};
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(SizeInKb(bytes), text) << bytes;

  const QString longName = QString(300, QChar(0x00e9));  // keeps full Unicode, cut at 255
  const TDataItem row = MakeDataItem(longName, "7#C:\\dir\\#2024/01/02#1536");
  EXPECT_EQ(row.Str1, QString(255, QChar(0x00e9)));
  EXPECT_EQ(row.Str2, "C:\\dir\\");
  EXPECT_EQ(row.Str3, "2024/01/02");
  EXPECT_EQ(row.Str4, "2 kb");
}
