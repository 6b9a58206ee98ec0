#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "cli/DrivesCommand.h"
#include "cli/ExitStatus.h"
#include "cli/RecoverCommand.h"
#include "cli/ScanCommand.h"
#include "cli/ShowCommand.h"

namespace {

constexpr char kUsage[] =
    "usage: undelvo-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  drives [--image FILE]... [--images-only] [--json]\n"
    "      list the FAT and NTFS drives: block devices and the given disk images\n"
    "  scan (--drive C: | --image FILE [--drive C:]) [--deep] [--mask PATTERN] [--name TEXT]\n"
    "       [--categories] [--json]\n"
    "      scan one drive: list its deleted files and its Recycle Bin; --deep searches\n"
    "      the whole volume (for a damaged MFT or deleted folders), --mask keeps names\n"
    "      matching one pattern such as \"*.jpg\", --name searches for a name instead;\n"
    "      --categories lists the files by kind, as the results list does\n"
    "  recover (the scan's options) --to FOLDER (--all | --match TEXT) [--json]\n"
    "      scan, then restore every found file, or those whose name holds TEXT\n"
    "      (a file-name mask when TEXT holds \"*\"), into FOLDER\n"
    "  show (the scan's options) --file NAME [--bytes N]\n"
    "      scan, then write to standard output the bytes the preview shows of the\n"
    "      found file NAME (its listed name, or its path C:\\dir\\name): the start\n"
    "      of a text, a picture whole; at most N bytes with --bytes\n"
    "\n"
    "With --image, the drives are those of the given images; --drive may be left\n"
    "out when there is only one. Ctrl-C stops a scan and keeps what it found.\n"
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
  if (command == QLatin1String("scan")) return undelvo::RunScanCommand(args);
  if (command == QLatin1String("recover")) return undelvo::RunRecoverCommand(args);
  if (command == QLatin1String("show")) return undelvo::RunShowCommand(args);
  if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
    std::fputs(kUsage, stdout);
    return undelvo::ExitRan;
  }
  std::fprintf(stderr, "undelvo-cli: unknown command '%s'\n\n%s", qPrintable(command), kUsage);
  return undelvo::ExitBadInput;
}
