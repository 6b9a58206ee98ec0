#include "cli/DrivesCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <unistd.h>

#include "cli/DriveOptions.h"
#include "cli/ExitStatus.h"
#include "cli/HelpTexts.h"
#include "cli/HumanSize.h"
#include "cli/TerminalSafe.h"

namespace undelvo {

namespace {

QJsonObject DriveToJson(const DriveEntry& d) {
  QJsonObject o;
  o.insert(QStringLiteral("drive"), d.letter.isEmpty() ? QJsonValue() : QJsonValue(d.letter));
  o.insert(QStringLiteral("fs"), d.fsName);
  o.insert(QStringLiteral("kind"), FsKindFromName(d.fsName));
  o.insert(QStringLiteral("source"), d.sourceLabel);
  o.insert(QStringLiteral("path"), QString::fromStdString(d.source.path));
  o.insert(QStringLiteral("offset"), qint64(d.source.offset));
  o.insert(QStringLiteral("size"), qint64(d.source.size));
  o.insert(QStringLiteral("removable"), d.removable);
  o.insert(QStringLiteral("mount_point"), d.mountPoint);
  return o;
}

void PrintErrors(const QStringList& errors) {
  for (const QString& e : errors) std::fprintf(stderr, "undelvo-cli: %s\n", qPrintable(e));
}

// Why the machine shows no drive: no FAT/NTFS volume, or devices this user
// may not read.
void PrintWhyNoDevice(const DriveTable& table) {
  if (table.refusedDevices.isEmpty()) {
    std::fputs("undelvo-cli drives: no FAT or NTFS volume found on the machine's block devices\n", stderr);
    return;
  }
  // Root that is still refused is held back by the system itself (a container, a security policy).
  const char* hint = ::geteuid() == 0 ? "the system refuses them even to root (a container or a security policy?)"
                                      : "run as root or join the `disk` group (sudo usermod -aG disk $USER, then "
                                        "log in again)";
  std::fprintf(stderr, "undelvo-cli drives: no FAT or NTFS volume found; %d device(s) could not be read (%s): %s\n",
               int(table.refusedDevices.size()), qPrintable(table.refusedDevices.join(QStringLiteral(", "))), hint);
}

}  // namespace

int RunDrivesCommand(const QStringList& args) {
  QStringList rest;
  const DriveOptions options = ParseDriveOptions(args, rest);
  if (!options.error.isEmpty() || !rest.isEmpty()) {
    std::fprintf(stderr, "undelvo-cli drives: %s\n%s",
                 qPrintable(options.error.isEmpty() ? QStringLiteral("unknown option ") + rest.first() : options.error),
                 CommandUsage(QStringLiteral("drives")).c_str());
    return ExitBadInput;
  }
  const DriveTable table = BuildDriveTable(options.table);
  PrintErrors(table.errors);
  PrintErrors(table.notes);
  if (table.drives.empty() && options.table.includeBlockDevices) PrintWhyNoDevice(table);
  if (options.json) {
    QJsonArray list;
    for (const DriveEntry& d : table.drives) list.append(DriveToJson(d));
    QJsonObject o{{QStringLiteral("drives"), list}};
    if (!table.errors.isEmpty()) o.insert(QStringLiteral("errors"), QJsonArray::fromStringList(table.errors));
    if (!table.notes.isEmpty()) o.insert(QStringLiteral("notes"), QJsonArray::fromStringList(table.notes));
    std::fputs(QJsonDocument(o).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
  } else {
    for (const DriveEntry& d : table.drives) {
      const QString line = QStringLiteral("%1 (%2)  %3  %4")
                               .arg(d.letter.isEmpty() ? QStringLiteral("--") : d.letter, d.fsName,
                                    TerminalSafe(d.sourceLabel), HumanSize(d.source.size));
      std::printf("%s%s\n", qPrintable(line), d.removable ? "  removable" : "");
    }
  }
  return table.errors.isEmpty() ? ExitRan : ExitBadInput;
}

}  // namespace undelvo
