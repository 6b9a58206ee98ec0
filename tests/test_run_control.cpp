// The run control and the progress sink as the window will drive them: one
// run at a time, a Stop from inside a pump, percentages passed on once each,
// and the recover run's checks and per-row outcomes.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "TestSupport.h"
#include "found/EntryValue.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

class RunControlTest : public ::testing::Test {
 protected:
  void Use(const char* image, const char* fs, uint64_t offset = 0) {
    const QString path = test::Unpack(test::SourceDir() + "/tests/data/" + image + ".gz", dir_.path(), image);
    ASSERT_FALSE(path.isEmpty());
    state_.Program.Drives.drives = {
        test::ImageDrive(path, offset, uint64_t(QFileInfo(path).size()) - offset, "C:", fs, path)};
    state_.Program.GeometryCacheFile = dir_.filePath("Zantero.ini");
  }
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath("registry.reg")};
};

// Every stretch between two resets (a step begins with one) as its percentages.
std::vector<std::vector<int>> PercentStretches(const std::vector<std::string>& events) {
  std::vector<std::vector<int>> stretches(1);
  for (const std::string& e : events) {
    if (e == "reset") stretches.emplace_back();
    else if (e.rfind("percent ", 0) == 0) stretches.back().push_back(std::stoi(e.substr(8)));
  }
  return stretches;
}

}  // namespace

TEST(RunControl, OneRunAtATimeAndAStopOnlyEndsARunningOne) {
  RunControl run;
  int pumps = 0;
  run.SetPump([&] { ++pumps; });
  EXPECT_FALSE(run.Continue()) << "nothing runs yet";
  run.RequestStop();
  EXPECT_FALSE(run.Stopped()) << "a stop with nothing running stops nothing";
  ASSERT_TRUE(run.Begin());
  EXPECT_FALSE(run.Begin()) << "a second run is refused";
  EXPECT_TRUE(run.Continue());
  run.RequestStop();
  EXPECT_FALSE(run.Continue());
  EXPECT_TRUE(run.Stopped());
  run.End();
  ASSERT_TRUE(run.Begin());
  EXPECT_FALSE(run.Stopped()) << "a new run starts unstopped";
  EXPECT_EQ(pumps, 3);
}

TEST(ProgressSink, PassesEachWholePercentageOnceAndOnlyWhenItRises) {
  test::RecordingSink sink;
  for (int p : {0, 1, 1, 3, 2, 3, 7, 150}) sink.Percent(p);
  sink.Step(2);
  sink.Percent(0);
  sink.Percent(5);
  sink.Done();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"percent 1", "percent 3", "percent 7", "percent 100", "reset",
                                                   "step 2", "percent 5", "done"}));
}

TEST_F(RunControlTest, QuickAndDeepScansPassRisingPercentagesOnce) {
  const struct {
    const char* image;
    const char* fs;
    uint64_t offset;
    bool deep;
  } runs[] = {
      {"ntfs.img", "NTFS", 0, false},
      {"ntfs.img", "NTFS", 0, true},
      {"fat16.img", "FAT", 0, false},
      {"fat32-mbr.img", "FAT32", 2048 * 512, true},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(std::string(r.image) + (r.deep ? " deep" : " quick"));
    Use(r.image, r.fs, r.offset);
    test::RecordingSink sink;
    sink.Attach(state_.Run);
    const ScanRunResult result = AdvancedScanRun(state_, sink, "C:", {r.deep, "*.*", {}});
    ASSERT_EQ(result.end, ScanRunEnd::FilesFound) << result.message.toStdString();
    EXPECT_FALSE(result.stopped);
    size_t percents = 0;
    for (const std::vector<int>& stretch : PercentStretches(sink.events)) {
      percents += stretch.size();
      EXPECT_TRUE(std::adjacent_find(stretch.begin(), stretch.end(), std::greater_equal<int>()) == stretch.end());
      for (int p : stretch) EXPECT_TRUE(p >= 1 && p <= 100) << p;
    }
    EXPECT_GT(percents, 0u);
    EXPECT_EQ(sink.events.back(), "idle");
    EXPECT_EQ(sink.events.end()[-2], "done");
    if (r.deep && QString(r.fs) == "NTFS") {
      EXPECT_EQ(sink.steps, (std::vector<int>{1, 2, 3, 4}));
    }
  }
}

TEST_F(RunControlTest, AStopFromInsideAPumpEndsTheRunAndKeepsTheFilesFound) {
  for (bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "deep" : "quick");
    Use("ntfs.img", "NTFS");
    // The window's Stop: a handler run by the pump, once some files are in.
    int foundAtStop = -1;
    state_.Run.SetPump([&] {
      if (foundAtStop < 0 && state_.Scan.Found.FoundCount >= 3) {
        foundAtStop = state_.Scan.Found.FoundCount;
        state_.Run.RequestStop();
      }
    });
    test::RecordingSink sink;
    const ScanRunResult r = AdvancedScanRun(state_, sink, "C:", {deep, "*.*", {}});
    EXPECT_EQ(r.end, ScanRunEnd::FilesFound);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(state_.Run.Busy());
    EXPECT_EQ(state_.Scan.Found.FoundCount, foundAtStop) << "nothing found after the stop, nothing lost before it";
    EXPECT_EQ(int(AllFoundRows(state_.Scan.Found).size()), foundAtStop);
  }
}

TEST_F(RunControlTest, RunsStartedWhileOneRunsAreRefused) {
  Use("ntfs.img", "NTFS");
  std::vector<ScanRunResult> nested;
  std::optional<RecoverRunResult> nestedRecover;
  state_.Run.SetPump([&] {
    if (!nested.empty()) return;
    test::RecordingSink other;
    nested.push_back(QuickScanRun(state_, other, "C:"));
    nested.push_back(AdvancedScanRun(state_, other, "C:", {true, "*.*", {}}));
    const std::vector<FoundRow> rows{{"a.txt", "TXT", "1#C:\\#d#5"}};
    nestedRecover = RecoverRun(state_, other, rows, {true});
  });
  test::RecordingSink sink;
  const ScanRunResult first = QuickScanRun(state_, sink, "C:");
  ASSERT_EQ(nested.size(), 2u);
  for (const ScanRunResult& r : nested) EXPECT_EQ(r.end, ScanRunEnd::AlreadyRunning);
  ASSERT_TRUE(nestedRecover.has_value());
  EXPECT_EQ(nestedRecover->end, RecoverRunEnd::AlreadyRunning);
  EXPECT_EQ(first.end, ScanRunEnd::FilesFound) << "the running scan goes on unharmed";
  EXPECT_FALSE(first.stopped);
  EXPECT_GT(state_.Scan.Found.FoundCount, 15);
}

TEST_F(RunControlTest, RecoverRunChecksAndReportsEveryRow) {
  Use("ntfs.img", "NTFS");
  test::RecordingSink sink;
  ASSERT_EQ(QuickScanRun(state_, sink, "C:").end, ScanRunEnd::FilesFound);
  std::vector<FoundRow> rows;
  for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
    if (row.name == "setup.exe" || row.name == "plan.txt" || row.name == "empty.txt") rows.push_back(row);
  ASSERT_EQ(rows.size(), 3u);

  // The checks: nothing happens without rows, a selection, or a folder to write into.
  EXPECT_EQ(RecoverRun(state_, sink, {}, {}).end, RecoverRunEnd::NoRows);
  const RecoverRunResult none = RecoverRun(state_, sink, rows, {false, false, false});
  EXPECT_EQ(none.end, RecoverRunEnd::NoSelection);
  EXPECT_EQ(none.message, "No files selected!");
  const QString blocked = dir_.filePath("a file");
  QFile(blocked).open(QIODevice::WriteOnly);
  state_.Program.Config.SaveFolder = blocked + "/out";
  const RecoverRunResult noFolder = test::RecoverAll(state_, sink, rows);
  EXPECT_EQ(noFolder.end, RecoverRunEnd::NoSaveFolder);
  EXPECT_EQ(noFolder.message, "Folder to save restored files does not exists!");
  EXPECT_TRUE(noFolder.rows.empty());

  // A missing folder is created; only the selected rows are written, each with its outcome.
  state_.Program.Config.SaveFolder = dir_.filePath("new/folder");
  const RecoverRunResult some = RecoverRun(state_, sink, rows, {true, false, true});
  ASSERT_EQ(some.end, RecoverRunEnd::Ran);
  ASSERT_EQ(some.rows.size(), 2u);
  for (const RecoveredRow& done : some.rows) {
    SCOPED_TRACE(done.name.toStdString());
    EXPECT_EQ(done.name, rows[done.row].name);
    const int64_t size = ParseEntryValue(rows[done.row].value).size;  // empty.txt comes back as an empty file
    EXPECT_TRUE(done.outcome.Written());
    EXPECT_EQ(done.outcome.bytes, size);
    EXPECT_EQ(QFileInfo(done.outcome.path).size(), size);
    EXPECT_EQ(QFileInfo(done.outcome.path).fileName(), done.name);
  }
  EXPECT_EQ(some.restored, int(std::count_if(some.rows.begin(), some.rows.end(),
                                             [](const RecoveredRow& r) { return r.outcome.Written(); })));
  EXPECT_EQ(some.message, QString("%1 file(s) restored!").arg(some.restored));

  // A file that cannot be written whole (a size limit standing in for a full
  // disk) is reported with the system's reason, and the run goes on.
  state_.Program.Config.SaveFolder = dir_.filePath("limited");
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit limited = before;
  limited.rlim_cur = 8192;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const RecoverRunResult full = test::RecoverAll(state_, sink, rows);
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  QStringList failed, written;
  for (const RecoveredRow& done : full.rows) {
    if (done.outcome.Failed()) failed << done.name + ": " + QString::fromLocal8Bit(strerror(done.outcome.error));
    if (done.outcome.Written()) written << done.name;
  }
  EXPECT_EQ(failed, QStringList{"setup.exe: File too large"});
  EXPECT_EQ(written, (QStringList{"empty.txt", "plan.txt"}));
  EXPECT_EQ(full.restored, 2);
}
