// Listing a Recycle Bin folder into the found-file store.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "found/ScanRecycleBin.h"
#include "scan/UndelvoState.h"

using namespace undelvo;

namespace {
void Touch(const QString& path, int size) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(size, 'x'));
}
}  // namespace

TEST(ScanRecycleBin, RecordsEveryFileWithItsPathAndFollowsNoLinks) {
  QTemporaryDir dir;
  const QString bin = dir.filePath("$RECYCLE.BIN");
  Touch(bin + "/S-1-5-21/$RAB12CD.jpg", 3000);
  Touch(bin + "/S-1-5-21/$IAB12CD.jpg", 544);
  Touch(bin + "/S-1-5-21/$R0001/inner/notes.txt", 10);  // a deleted folder's contents
  Touch(bin + "/S-1-5-21/desktop.ini", 1);
  Touch(bin + "/S-1-5-22/desktop.ini", 2);
  ASSERT_EQ(symlink(qPrintable(dir.path()), qPrintable(bin + "/S-1-5-22/loop")), 0);

  UndelvoState state(dir.filePath("registry.reg"));
  state.Run.Begin();
  test::RecordingSink hooks;
  FoundState& found = state.Scan.Found;
  ScanRecycleBin(found, state.Scan.NameMask, state.Run, hooks, dir.filePath("RECYCLER"));  // absent: nothing
  EXPECT_EQ(state.Scan.Found.FoundCount, 0);
  ScanRecycleBin(found, state.Scan.NameMask, state.Run, hooks, bin);

  EXPECT_EQ(state.Scan.Found.FoundCount, 5);
  EXPECT_EQ(state.Scan.Found.CategoryCount[6], 2);
  const EntryValue jpg = ParseEntryValue(state.Scan.Found.FoundFiles.Read("JPG", "$RAB12CD.jpg"));
  EXPECT_TRUE(jpg.IsRecycleBin());
  EXPECT_EQ(jpg.path, bin + "/S-1-5-21/$RAB12CD.jpg");
  EXPECT_EQ(jpg.size, 3000);
  EXPECT_FALSE(jpg.date.isEmpty());
  EXPECT_TRUE(state.Scan.Found.FoundFiles.KeyExists("JPG", "$IAB12CD.jpg"));
  EXPECT_EQ(ParseEntryValue(state.Scan.Found.FoundFiles.Read("TXT", "notes.txt")).path, bin + "/S-1-5-21/$R0001/inner/notes.txt");
  QStringList keys;
  state.Scan.Found.FoundFiles.ReadKeys("OTHER", keys);
  EXPECT_EQ(keys, QStringList{"desktop.ini"}) << "one key; the later file replaces the earlier";

  // A mask narrows the files but every folder is still entered; a stop ends it.
  state.Scan.Found.ResetForScan();
  state.Scan.NameMask = "*.TXT";
  ScanRecycleBin(found, state.Scan.NameMask, state.Run, hooks, bin);
  EXPECT_EQ(state.Scan.Found.FoundCount, 1);
  state.Run.RequestStop();
  ScanRecycleBin(found, state.Scan.NameMask, state.Run, hooks, bin);
  EXPECT_EQ(state.Scan.Found.FoundCount, 1);

  // A stop in the middle of a folder records nothing after it.
  state.Scan.Found.ResetForScan();
  state.Scan.NameMask = "*.*";
  state.Run.Begin();
  state.Run.SetPump([&] {
    if (found.FoundCount == 1) state.Run.RequestStop();
  });
  ScanRecycleBin(found, state.Scan.NameMask, state.Run, hooks, bin);
  EXPECT_EQ(found.FoundCount, 1);
}
