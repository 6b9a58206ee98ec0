#include "cli/DrivesCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/DriveOptions.h"
#include "cli/ExitStatus.h"
#include "cli/HumanSize.h"

namespace undelvo {

namespace {

QJsonObject DriveToJson(const DriveEntry& d) {
  QJsonObject o;
  o.insert(QStringLiteral("drive"), d.letter);
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

}  // namespace

int RunDrivesCommand(const QStringList& args) {
  QStringList rest;
  const DriveOptions options = ParseDriveOptions(args, rest);
  if (!options.error.isEmpty() || !rest.isEmpty()) {
    std::fprintf(stderr, "undelvo-cli drives: %s\nusage: undelvo-cli drives [--image FILE]... [--images-only] [--json]\n",
                 qPrintable(options.error.isEmpty() ? QStringLiteral("unknown option ") + rest.first() : options.error));
    return ExitBadInput;
  }
  const DriveTable table = BuildDriveTable(options.table);
  if (!table.errors.isEmpty()) {
    PrintErrors(table.errors);
    return ExitBadInput;
  }
  if (options.json) {
    QJsonArray list;
    for (const DriveEntry& d : table.drives) list.append(DriveToJson(d));
    std::fputs(QJsonDocument(list).toJson(QJsonDocument::Indented).constData(), stdout);
    return ExitRan;
  }
  for (const DriveEntry& d : table.drives) {
    const QString line = QStringLiteral("%1 (%2)  %3  %4")
                             .arg(d.letter, d.fsName, d.sourceLabel, HumanSize(d.source.size));
    std::printf("%s%s\n", qPrintable(line), d.removable ? "  removable" : "");
  }
  return ExitRan;
}

}  // namespace undelvo
