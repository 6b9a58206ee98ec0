#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "cli/DrivesCommand.h"
#include "cli/ExitStatus.h"

namespace {

constexpr char kUsage[] =
    "usage: undelvo-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  drives [--image FILE]... [--images-only] [--json]\n"
    "      list the FAT and NTFS drives: block devices and the given disk images\n"
    "\n"
    "Volumes are only ever read; nothing is written to a scanned drive.\n";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  if (args.isEmpty()) {
    std::fputs(kUsage, stderr);
    return undelvo::ExitBadInput;
  }
  const QString command = args.takeFirst();
  if (command == QLatin1String("drives")) return undelvo::RunDrivesCommand(args);
  if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
    std::fputs(kUsage, stdout);
    return undelvo::ExitRan;
  }
  std::fprintf(stderr, "undelvo-cli: unknown command '%s'\n\n%s", qPrintable(command), kUsage);
  return undelvo::ExitBadInput;
}
