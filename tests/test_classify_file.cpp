#include <gtest/gtest.h>

#include "found/ClassifyFile.h"

using namespace undelvo;

TEST(ClassifyFile, TypeCodesAndCategories) {
  struct Case {
    const char* name;
    const char* code;
    int category;
  };
  const Case cases[] = {
      {"report.docx", "DOC", 1},     {"budget.XLSX", "XLS", 1},       {"notes.odt", "DOC_OTHER", 1},
      {"setup.log", "DOC_OTHER", 1}, {"a.fb2", "FB2", 1},             {"photo.jpeg", "JPG", 2},
      {"photo.jpe", "JPG", 2},       {"scan.tiff", "JPG_OTHER", 2},   {"logo.svg", "JPG_OTHER", 2},
      {"clip.mp4", "MPG", 3},        {"clip.mpeg", "MPG", 3},         {"voice.wma", "WMV", 3},
      {"song.flac", "AVI_OTHER", 3}, {"movie.divx", "AVI_OTHER", 3},  {"film.mkv", "MKV", 3},
      {"film.flv", "FLV", 3},        {"tune.m4a", "AVI_OTHER", 3},    {"driver.sys", "EXE_OTHER", 4},
      {"setup.cab", "EXE_OTHER", 4}, {"tool.exe", "EXE", 4},          {"ctl.ocx", "OCX", 4},
      {"index.html", "HTM", 5},      {"app.js", "JS", 5},             {"page.tml", "TML", 5},
      {"a.oc", "OC", 1},             {"a.mp", "MP", 2},               {"README", "OTHER", 6},
      {"trailing.", "OTHER", 6},     {"x.c", "OTHER", 6},             {"archive.tar.gz", "OTHER", 6},
      {"C:\\dir.v2\\file", "OTHER", 6}, {"/mnt/dir.v2/file", "OTHER", 6}, {"C:.doc", "DOC", 1},
      {"résumé.dÖc", "OTHER", 6},    {"~x.tmp", "OTHER", 6},          {"C:\\docs\\A.TXT", "TXT", 1},
  };
  for (const Case& c : cases) {
    int category = 0;
    EXPECT_EQ(ClassifyFile(QString::fromUtf8(c.name), category), QString::fromLatin1(c.code)) << c.name;
    EXPECT_EQ(category, c.category) << c.name;
  }
}
