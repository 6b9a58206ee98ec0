// Runs a scan from the window, as a user's Start Scan does, and prints the
// longest time the window could not react (between two runs of its events);
// then times the results panel: building the category list, opening the
// largest category and searching "*.*", with the peak memory after each.
//
//   undelvo-pump-gaps IMAGE [--deep]
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

#include "scan/UndelvoState.h"
#include "ui/Panel1.h"
#include "found/CategoryTable.h"
#include "ui/Panel2.h"
#include "ui/Panel4.h"
#include "ui/Unit1.h"

using namespace undelvo;
using namespace undelvo::ui;

namespace {
struct SilentPrompter : Prompter {
  void Inform(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
  bool Confirm(QWidget*, const QString&) override { return false; }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fputs("usage: undelvo-pump-gaps IMAGE [--deep]\n", stderr);
    return 2;
  }
  const bool deep = argc > 2 && std::strcmp(argv[2], "--deep") == 0;
  QTemporaryDir settings;
  UndelvoState state(settings.filePath(QStringLiteral("registry.reg")));
  state.Program.Config.DataDir = QCoreApplication::applicationDirPath();
  state.Program.GeometryCacheFile = settings.filePath(QStringLiteral("Zantero.ini"));
  SilentPrompter prompter;
  UiContext ctx(state, prompter);
  DriveTableOptions drives;
  drives.includeBlockDevices = false;
  drives.settingsFolder = settings.path();
  drives.images.push_back(argv[1]);
  TForm1 window(ctx, drives);
  window.show();
  QCoreApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  qint64 gap = 0;
  if (deep) {
    window.TabClick(2);
    window.findChild<QComboBox*>(QStringLiteral("Panel2ModeBox"))->setCurrentIndex(1);
    window.AdvancedPanel()->StartScan();
    gap = window.AdvancedPanel()->LongestGapMs();
  } else {
    window.QuickPanel()->StartScan();
    gap = window.QuickPanel()->LongestGapMs();
  }
  std::printf("%s scan: %lld ms, %d files, longest time without events %lld ms\n", deep ? "deep" : "quick",
              static_cast<long long>(clock.elapsed()), int(state.Scan.Found.FoundCount), static_cast<long long>(gap));
  if (state.Scan.Found.FoundCount == 0) return 0;

  auto peakMiB = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
  };
  Panel4* results = window.ResultsPanel();
  clock.restart();
  results->Enter();
  std::printf("  category list: %lld ms, peak %.1f MiB\n", static_cast<long long>(clock.elapsed()), peakMiB());
  // The largest category entry.
  int bestGroup = 0, bestPosition = 0, best = -1;
  const auto groups = CategoryGroups();
  for (size_t g = 0; g < groups.size(); ++g)
    for (size_t e = 0; e < groups[g].entries.size(); ++e)
      if (const int n = EntryCount(state.Scan.Found, groups[g].entries[e]); n > best) {
        best = n;
        bestGroup = int(g);
        bestPosition = int(e);
      }
  clock.restart();
  results->OpenCategory(bestGroup, bestPosition);
  std::printf("  largest category (%d files, %d rows): %lld ms, longest time without events %lld ms, peak %.1f MiB\n",
              best, results->Model()->rowCount(), static_cast<long long>(clock.elapsed()),
              static_cast<long long>(results->LongestGapMs()), peakMiB());
  window.findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
  clock.restart();
  results->Find();
  std::printf("  search *.* (%d rows): %lld ms, longest time without events %lld ms, peak %.1f MiB\n",
              results->Model()->rowCount(), static_cast<long long>(clock.elapsed()),
              static_cast<long long>(results->LongestGapMs()), peakMiB());
  return 0;
}
