// The results' category table: entries, sections, counts and captions.
#include <gtest/gtest.h>

#include "found/CategoryTable.h"
#include "found/RecordFoundFile.h"
#include "settings/LanguageTexts.h"

using namespace undelvo;

namespace {

struct Row {
  int group;
  int position;
  CaptionForm form;
  const char* text;    // key (Named) or prefix
  const char* english; // default of a Named entry
  const char* section; // as CategorySection gives it
  int image;
  const char* sample;  // a file name the classifier files under this entry
};

constexpr CaptionForm A = CaptionForm::Named;
constexpr CaptionForm B = CaptionForm::Prefix;

const Row kRows[] = {
    {0, 0, A, "Type13a", "Word documents", "DOC", 0, "a.doc"},
    {0, 1, A, "Type13b", "Excel documents", "XLS", 1, "a.xls"},
    {0, 2, A, "Type13c", "PowerPoint documents", "PPT", 2, "a.ppt"},
    {0, 3, A, "Type13d", "Text documents", "TXT", 3, "a.txt"},
    {0, 4, A, "Type13e", "Pdf documents", "PDF", 4, "a.pdf"},
    {0, 5, A, "Type13f", "Rtf documents", "RTF", 0, "a.rtf"},
    {0, 6, A, "Type13g", "FB2 documents", "FB2", 3, "a.fb2"},
    {0, 7, A, "Other1", "Other documents", "DOC_OTHER", 3, "a.odt"},
    {1, 0, B, "JPG ", nullptr, "JPG", 5, "a.jpeg"},
    {1, 1, B, "GIF ", nullptr, "GIF", 6, "a.gif"},
    {1, 2, B, "PNG ", nullptr, "PNG", 7, "a.png"},
    {1, 3, B, "BMP ", nullptr, "BMP", 8, "a.bmp"},
    {1, 4, B, "ICO ", nullptr, "ICO", 9, "a.ico"},
    {1, 5, B, "PSD ", nullptr, "PSD", 5, "a.psd"},
    {1, 6, B, "CDR ", nullptr, "CDR", 5, "a.cdr"},
    {1, 7, A, "Other2", "Other images", "JPG_OTHER", 5, "a.tiff"},
    {2, 0, B, "MP3 ", nullptr, "MP3", 10, "a.mp3"},
    {2, 1, B, "WAV ", nullptr, "WAV", 10, "a.wav"},
    {2, 2, B, "AVI ", nullptr, "AVI", 11, "a.avi"},
    {2, 3, B, "MPG ", nullptr, "MPG", 11, "a.mp4"},
    {2, 4, B, "WMV ", nullptr, "WMV", 11, "a.wma"},
    {2, 5, B, "MKV ", nullptr, "MKV", 11, "a.mkv"},
    {2, 6, B, "WOB ", nullptr, "VOB", 11, "a.vob"},
    {2, 7, A, "Other3", "Other media files", "AVI_OTHER", 10, "a.mov"},
    {3, 0, B, "EXE ", nullptr, "EXE", 12, "a.exe"},
    {3, 1, B, "COM ", nullptr, "COM", 13, "a.com"},
    {3, 2, B, "DLL ", nullptr, "DLL", 14, "a.dll"},
    {3, 3, B, "DAT ", nullptr, "DAT", 13, "a.dat"},
    {3, 4, B, "BAT ", nullptr, "BAT", 13, "a.bat"},
    {3, 5, B, "MSI ", nullptr, "MSI", 12, "a.msi"},
    {3, 6, B, "OCX ", nullptr, "OCX", 12, "a.ocx"},
    {3, 7, A, "Other4", "Other binary files", "EXE_OTHER", 12, "a.sys"},
    {4, 0, B, "HTML ", nullptr, "HTM", 15, "a.html"},
    {4, 1, B, "CSS ", nullptr, "CSS", 15, "a.css"},
    {4, 2, B, "PHP ", nullptr, "PHP", 15, "a.php"},
    {4, 3, B, "JS ", nullptr, "JS", 15, "a.js"},
    {5, 0, A, "Type18", "Other files", "OTHER", 16, "a.xyz"},
};

// The count of every entry, in table order.
std::vector<int> AllCounts(const FoundState& s) {
  std::vector<int> counts;
  for (const CategoryGroup& g : CategoryGroups())
    for (const CategoryEntry& e : g.entries) counts.push_back(EntryCount(s, e));
  return counts;
}

const CategoryEntry& At(int group, int position) {
  const CategoryEntry* e = CategoryEntryAt(group, position);
  EXPECT_NE(e, nullptr) << group << "/" << position;
  return *e;
}

}  // namespace

TEST(CategoryTable, EveryEntryAsTheTableGivesIt) {
  const auto groups = CategoryGroups();
  ASSERT_EQ(groups.size(), 6u);
  size_t total = 0;
  for (const CategoryGroup& g : groups) total += g.entries.size();
  ASSERT_EQ(total, std::size(kRows)) << "no entry missing or extra";

  for (size_t i = 0; i < std::size(kRows); ++i) {
    const Row& r = kRows[i];
    SCOPED_TRACE(testing::Message() << r.group << "/" << r.position << " " << r.text);
    const CategoryEntry& e = At(r.group, r.position);
    EXPECT_EQ(&e, &groups[size_t(r.group)].entries[size_t(r.position)]);
    EXPECT_EQ(e.form, r.form);
    EXPECT_STREQ(e.text, r.text);
    if (r.english) {
      EXPECT_STREQ(e.english, r.english);
      // The program's table of texts must agree, or the two would drift.
      EXPECT_STREQ(EnglishDefault("File", r.text), r.english);
    }
    EXPECT_EQ(CategorySection(r.group, r.position), QLatin1String(r.section));
    EXPECT_EQ(e.image, r.image);

    // The entry's section is where the classifier files the sample, and no
    // other entry counts it.
    FoundState s;
    RecordFoundFile(s, FoundFileWriter::Ntfs, r.sample, "1#C:\\#01.01.2024#10");
    std::vector<int> expected(std::size(kRows), 0);
    expected[i] = 1;
    EXPECT_EQ(AllCounts(s), expected) << r.sample;
  }
}

TEST(CategoryTable, GroupsKeepTheirKeysAndDefaults) {
  const struct { const char* key; const char* english; } expected[] = {
      {"Type13", "Documents"}, {"Type14", "Photos/Images"}, {"Type15", "Music/Audio/Video"},
      {"Type16", "Binary files"}, {"Type17", "Html & other web-files"}, {"Type18", "Other files"},
  };
  const auto groups = CategoryGroups();
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_STREQ(groups[i].key, expected[i].key);
    EXPECT_STREQ(groups[i].english, expected[i].english);
    EXPECT_STREQ(EnglishDefault("File", groups[i].key), groups[i].english);
  }
  EXPECT_STREQ(EnglishDefault("File", "Files"), "files");
}

TEST(CategoryTable, PositionsOutsideTheTableListOtherFiles) {
  for (auto [g, p] : {std::pair{-1, 0}, {0, -1}, {0, 8}, {4, 4}, {5, 1}, {6, 0}}) {
    EXPECT_EQ(CategoryEntryAt(g, p), nullptr) << g << "/" << p;
    EXPECT_EQ(CategorySection(g, p), "OTHER") << g << "/" << p;
  }
  for (const CategoryGroup& g : CategoryGroups())
    for (const CategoryEntry& e : g.entries) {
      EXPECT_GE(e.image, 0);
      EXPECT_LT(e.image, kCategoryImageCount);
    }
}

TEST(CategoryTable, CountsAndCaptionsFromTheStore) {
  FoundState s;
  const QString value = "7#C:\\Docs\\#01.02.2024#2048";
  for (int i = 0; i < 3; ++i) RecordFoundFile(s, FoundFileWriter::Ntfs, "REPORT.DOC", value);  // renamed keys
  for (int i = 0; i < 9; ++i) s.FoundFiles.Write("TXT", QString("note%1.txt").arg(i), value);
  for (int i = 0; i < 5; ++i) RecordFoundFile(s, FoundFileWriter::Fat, "IMG.JPG", value);
  RecordFoundFile(s, FoundFileWriter::Ntfs, "clip.flv", value);          // no entry lists FLV
  RecordFoundFile(s, FoundFileWriter::Ntfs, "clip2.FLV", value);
  RecordFoundFile(s, FoundFileWriter::Ntfs, "data.xyz", value);          // OtherFiles
  RecordFoundFile(s, FoundFileWriter::Ntfs, "noextension", value);
  RecordFoundFile(s, FoundFileWriter::RecycleBin, "$RAB12CD.xyz", value);  // store section OTHER

  const auto groups = CategoryGroups();
  const LanguageFile english;
  EXPECT_EQ(EntryCount(s, At(0, 0)), 3);
  EXPECT_EQ(EntryCaption(english, At(0, 0), 3), "Word documents (3 files)");
  EXPECT_EQ(EntryCount(s, At(0, 1)), 0);
  EXPECT_EQ(EntryCaption(english, At(0, 1), 0), "Excel documents (0 files)");
  EXPECT_EQ(GroupCount(s, groups[0]), 12);
  EXPECT_EQ(GroupCaption(english, groups[0], 12), "Documents (12 files)");

  EXPECT_EQ(EntryCount(s, At(1, 0)), 5);
  EXPECT_EQ(EntryCaption(english, At(1, 0), 5), "JPG files (5)");
  EXPECT_EQ(EntryCaption(english, At(2, 6), 0), "WOB files (0)");
  EXPECT_EQ(GroupCaption(english, groups[1], GroupCount(s, groups[1])), "Photos/Images (5 files)");

  EXPECT_EQ(GroupCount(s, groups[2]), 0) << "FLV files are in no group";
  EXPECT_EQ(GroupCaption(english, groups[2], 0), "Music/Audio/Video (0 files)");

  // The Other files entry counts the OtherFiles lines, not the store's OTHER section.
  ASSERT_EQ(s.OtherFiles.size(), 2);
  EXPECT_EQ(EntryCount(s, At(5, 0)), 2);
  EXPECT_EQ(GroupCount(s, groups[5]), 2);
  EXPECT_EQ(EntryCaption(english, At(5, 0), 2), "Other files (2 files)");
  EXPECT_EQ(GroupCaption(english, groups[5], 2), "Other files (2 files)");

  // The groups show the 9 direct writes and 10 of the 13 recorded files: the
  // FLV and Recycle Bin ones count in the total only.
  int sum = 0;
  for (const CategoryGroup& g : groups) sum += GroupCount(s, g);
  EXPECT_EQ(sum, 19);
  EXPECT_EQ(s.FoundCount, 13);
}

TEST(CategoryTable, CaptionsFromALanguageFile) {
  LanguageFile lang;
  lang.LoadFromText("[File]\n"
                    "Files=Dateien\n"
                    "Type13=Dokumente\n"
                    "Type13a=Word-Dokumente\n"
                    "Type18=Andere Dateien\n");
  const auto groups = CategoryGroups();
  EXPECT_EQ(GroupCaption(lang, groups[0], 12), "Dokumente (12 Dateien)");
  EXPECT_EQ(EntryCaption(lang, At(0, 0), 3), "Word-Dokumente (3 Dateien)");
  EXPECT_EQ(EntryCaption(lang, At(0, 1), 1), "Excel documents (1 Dateien)") << "a missing key keeps its default";
  EXPECT_EQ(EntryCaption(lang, At(1, 0), 5), "JPG Dateien (5)") << "the prefix is never translated";
  EXPECT_EQ(EntryCaption(lang, At(5, 0), 2), "Andere Dateien (2 Dateien)");
  EXPECT_EQ(GroupCaption(lang, groups[1], 0), "Photos/Images (0 Dateien)");

  lang.Clear();
  EXPECT_EQ(GroupCaption(lang, groups[0], 12), "Documents (12 files)");
  EXPECT_EQ(EntryCaption(lang, At(0, 0), 3), "Word documents (3 files)");
  EXPECT_EQ(EntryCaption(lang, At(4, 0), 7), "HTML files (7)");
  EXPECT_EQ(GroupCaption(lang, groups[4], 7), "Html & other web-files (7 files)");
}
