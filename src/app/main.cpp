#include <QApplication>
#include <QFileInfo>
#include <cstdio>

#include "app/ServeWindow.h"
#include "app/SingleInstance.h"
#include "platform/Folders.h"
#include "scan/UndelvoState.h"
#include "settings/FirstLanguage.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "ui/DialogPrompter.h"
#include "ui/Unit1.h"

using namespace undelvo;

namespace {

struct Arguments {
  bool uninstall = false;
  QStringList images;
  QString error;
};

Arguments ParseArguments(QStringList args) {
  Arguments a;
  args.removeFirst();
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString arg = args[i].trimmed();
    if (arg.toUpper() == QLatin1String("/UNINSTALL")) {
      a.uninstall = true;
    } else if (arg == QLatin1String("--image") && i + 1 < args.size()) {
      a.images << QFileInfo(args[++i]).absoluteFilePath();
    } else if (arg.startsWith(QLatin1String("--image="))) {
      a.images << QFileInfo(arg.mid(8)).absoluteFilePath();
    } else {
      a.error = QStringLiteral("unknown argument '%1'").arg(arg);
    }
  }
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Undelvo"));
  const Arguments args = ParseArguments(QApplication::arguments());
  if (!args.error.isEmpty()) {
    std::fprintf(stderr, "undelvo: %s\nusage: undelvo [--image FILE]... [/UNINSTALL]\n", qPrintable(args.error));
    return 2;
  }
  // A running window takes the request; this start ends.
  if (args.uninstall) {
    app::SingleInstance::Send(app::SingleInstance::UninstallRequest());
    return 0;
  }
  if (app::SingleInstance::Send(app::SingleInstance::RestoreRequest(args.images))) return 0;

  app::SingleInstance instance;
  instance.Listen();

  UndelvoState state;
  Settings& config = state.Program.Config;
  InitFolders(config);
  ChooseFirstLanguage(config, state.Program.Registry);
  LoadSettings(config, state.Program.Registry);
  OpenLanguageFile(state.Program.Lang, config.LangIndex, config.DataDir);
  ui::DialogPrompter prompter(state.Program.Lang);
  ui::UiContext ctx{state, prompter};

  DriveTableOptions drives;
  drives.settingsFolder = SettingsFolder();
  for (const QString& image : args.images) drives.images.push_back(QFile::encodeName(image).toStdString());
  ui::TForm1 window(ctx, drives);
  // An image that cannot be read is named on the terminal; the window lists the rest.
  for (const QString& error : state.Program.Drives.errors) std::fprintf(stderr, "undelvo: %s\n", qPrintable(error));
  app::ServeWindow(instance, window, state.Run);
  window.show();
  return app.exec();
}
