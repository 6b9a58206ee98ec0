// Runs a scan from the window, as a user's Start Scan does, and prints the
// longest time the window could not react (between two runs of its events).
//
//   undelvo-pump-gaps IMAGE [--deep]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "scan/UndelvoState.h"
#include "ui/Panel1.h"
#include "ui/Panel2.h"
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
  return 0;
}
