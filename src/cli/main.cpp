#include <QCoreApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>

#include "cli/DrivesCommand.h"
#include "cli/ExitStatus.h"
#include "cli/HelpTexts.h"
#include "cli/RecoverCommand.h"
#include "cli/ScanCommand.h"
#include "cli/ShowCommand.h"

int main(int argc, char** argv) {
  // A file grown past the process's size limit must fail its write (and be
  // reported) instead of ending the whole recovery.
  std::signal(SIGXFSZ, SIG_IGN);
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  if (args.isEmpty()) {
    std::fputs(undelvo::MainHelp().c_str(), stderr);
    return undelvo::ExitBadInput;
  }
  const QString command = args.takeFirst();
  if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
    const std::string help = args.isEmpty() ? std::string() : undelvo::CommandHelp(args.first());
    std::fputs(help.empty() ? undelvo::MainHelp().c_str() : help.c_str(), stdout);
    return undelvo::ExitRan;
  }
  if (command == QLatin1String("--version")) {
    std::printf("undelvo-cli %s\n", UNDELVO_VERSION);
    return undelvo::ExitRan;
  }
  if (!undelvo::CommandHelp(command).empty() && undelvo::AsksForHelp(args)) {
    std::fputs(undelvo::CommandHelp(command).c_str(), stdout);
    return undelvo::ExitRan;
  }
  if (command == QLatin1String("drives")) return undelvo::RunDrivesCommand(args);
  if (command == QLatin1String("scan")) return undelvo::RunScanCommand(args);
  if (command == QLatin1String("recover")) return undelvo::RunRecoverCommand(args);
  if (command == QLatin1String("show")) return undelvo::RunShowCommand(args);
  std::fprintf(stderr, "undelvo-cli: unknown command '%s'\n\n%s", qPrintable(command), undelvo::MainHelp().c_str());
  return undelvo::ExitBadInput;
}
