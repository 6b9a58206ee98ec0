// Takes pictures of the window: each panel idle, during a scan and after it,
// and each dialog, into a folder, in one language. scripts/screenshots runs
// it under Xvfb in English and German.
//
//   undelvo-screenshots OUT_DIR LANGUAGE_INDEX IMAGE
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

#include "scan/UndelvoState.h"
#include "settings/LanguageFile.h"
#include "ui/Panel1.h"
#include "ui/Panel2.h"
#include "ui/ProgressBar.h"
#include "ui/Unit1.h"
#include "ui/Unit1b.h"
#include "ui/Unit1c.h"
#include "ui/Unit3c.h"
#include "ui/Unit3d.h"
#include "ui/Panel4.h"
#include "ui/Unit3a.h"
#include "ui/Unit3b.h"

using namespace undelvo;
using namespace undelvo::ui;

namespace {

// Answers nothing and shows nothing: the pictures are taken from the outside.
struct SilentPrompter : Prompter {
  void Inform(QWidget*, const QString&) override {}
  bool Confirm(QWidget*, const QString&) override { return true; }
};

void Save(QWidget& w, const QString& folder, const QString& name) {
  const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
  if (!w.grab().save(path)) std::fprintf(stderr, "undelvo-screenshots: could not write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4) {
    std::fputs("usage: undelvo-screenshots OUT_DIR LANGUAGE_INDEX IMAGE\n", stderr);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  QTemporaryDir settings;
  UndelvoState state(settings.filePath(QStringLiteral("registry.reg")));
  state.Program.Config.DataDir = QCoreApplication::applicationDirPath();
  state.Program.Config.LangIndex = QString::fromLocal8Bit(argv[2]).toInt();
  state.Program.GeometryCacheFile = settings.filePath(QStringLiteral("Zantero.ini"));
  state.Program.Config.SaveFolder = QDir::homePath() + QStringLiteral("/Desktop/Restored Files");
  OpenLanguageFile(state.Program.Lang, state.Program.Config.LangIndex, state.Program.Config.DataDir);
  SilentPrompter prompter;
  UiContext ctx(state, prompter);
  ctx.pumpIntervalMs = 0;
  DriveTableOptions drives;
  drives.includeBlockDevices = false;
  drives.settingsFolder = settings.path();
  drives.images.push_back(argv[3]);
  TForm1 window(ctx, drives);
  window.show();
  QCoreApplication::processEvents();

  Save(window, out, QStringLiteral("quick-idle"));
  // During a scan: the picture is taken from inside the scan's pump, once
  // its bar is half way (in a deep scan's last step).
  QString during;
  QTimer midScan;
  QObject::connect(&midScan, &QTimer::timeout, [&] {
    const char* bar = during.startsWith(QLatin1String("quick")) ? "Panel1BProgressBar" : "Panel2ProgressBar";
    auto* progress = window.findChild<ProgressBar*>(QLatin1String(bar));
    if (!during.isEmpty() && state.Run.Busy() && progress && progress->Percent() >= 50 &&
        state.Scan.Found.FoundCount > 0) {
      Save(window, out, during);
      during.clear();
    }
  });
  during = QStringLiteral("quick-scanning");
  midScan.start(0);
  window.findChild<QPushButton*>(QStringLiteral("Panel1Button1"))->click();
  midScan.stop();
  Save(window, out, QStringLiteral("results"));
  Panel4* results = window.ResultsPanel();
  results->SetFolderOpener([](const QUrl&) {});
  results->OpenCategory(0, 3);  // text documents
  Save(window, out, QStringLiteral("results-category"));
  window.findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
  results->Find();
  Save(window, out, QStringLiteral("results-search"));
  // The previews of a picture, a text and a sound file.
  const ResultsModel* model = results->Model();
  const std::pair<const char*, const char*> previews[] = {
      {"фото.jpg", "preview-picture"}, {"plan.txt", "preview-text"}, {"song.mp3", "preview-stock"}};
  for (const auto& [file, picture] : previews) {
    const QString name = QString::fromUtf8(file);
    for (int r = 0; r < model->rowCount(); ++r)
      if (model->index(r, 0).data().toString() == name)
        ShowPreview(ctx, &window, name, model->Rows().ViewList.value(r), [&](TForm1b& preview) {
          preview.show();
          QCoreApplication::processEvents();
          Save(preview, out, QLatin1String(picture));
        });
  }
  // The recovery running, taken from inside its pump.
  results->SelectAll();
  bool recovering = false;
  QTimer midRecovery;
  QObject::connect(&midRecovery, &QTimer::timeout, [&] {
    auto* bar = window.findChild<ProgressBar*>(QStringLiteral("Panel4ProgressBar"));
    if (!recovering && state.Run.Busy() && bar && bar->Percent() >= 40) {
      recovering = true;
      Save(window, out, QStringLiteral("results-recovering"));
    }
  });
  midRecovery.start(0);
  QTemporaryDir restored;
  state.Program.Config.SaveFolder = restored.path();
  results->Recover();
  midRecovery.stop();
  window.BackClick();
  Save(window, out, QStringLiteral("quick-after-scan"));
  window.TabClick(2);
  Save(window, out, QStringLiteral("advanced-idle"));
  during = QStringLiteral("advanced-scanning");
  window.findChild<QComboBox*>(QStringLiteral("Panel2ModeBox"))->setCurrentIndex(1);
  midScan.start(0);
  window.findChild<QPushButton*>(QStringLiteral("Panel2Button1"))->click();
  midScan.stop();
  window.BackClick();
  Save(window, out, QStringLiteral("advanced-after-scan"));
  window.TabClick(3);
  Save(window, out, QStringLiteral("about"));

  TForm3a info(state.Program.Lang, &window);
  info.SetMessage(LangText(state.Program.Lang, "Process", "NotFound1"));
  info.show();
  Save(info, out, QStringLiteral("dialog-information"));
  info.hide();
  TForm3b confirm(state.Program.Lang, &window);
  confirm.SetMessage(LangText(state.Program.Lang, "Process", "Message2"));
  confirm.show();
  Save(confirm, out, QStringLiteral("dialog-confirmation"));
  confirm.hide();
  TForm3c note(state.Program.Lang, &window);
  note.show();
  Save(note, out, QStringLiteral("dialog-same-drive-note"));
  note.hide();
  TForm3d leave(state.Program.Lang, &window);
  leave.show();
  Save(leave, out, QStringLiteral("dialog-leave-results"));
  leave.hide();
  TForm1c wait(state.Program.Lang, state.Program.Config.DataDir, &window);
  wait.show();
  QCoreApplication::processEvents();
  Save(wait, out, QStringLiteral("dialog-please-wait"));
  wait.hide();
  return 0;
}
