#include "cli/ScanCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/ExitStatus.h"
#include "cli/ScanSession.h"
#include "found/ClassifyFile.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"

namespace undelvo {

namespace {

constexpr char kUsage[] = "usage: undelvo-cli scan (--drive C: | --image FILE [--drive C:]) [--json]\n";

QJsonObject RowToJson(const FoundRow& row) {
  const EntryValue e = ParseEntryValue(row.value);
  int category = 0;
  ClassifyFile(row.name, category);
  if (row.section == QLatin1String("OTHER")) category = 6;
  QJsonObject o;
  o.insert(QStringLiteral("name"), row.name);
  o.insert(QStringLiteral("type"), row.section);
  o.insert(QStringLiteral("category"), category);
  o.insert(QStringLiteral("path"), e.path);
  o.insert(QStringLiteral("date"), e.date);
  o.insert(QStringLiteral("size"), qint64(e.size));
  o.insert(QStringLiteral("locator"), e.IsRecycleBin() ? QJsonValue() : QJsonValue(qint64(e.locator)));
  o.insert(QStringLiteral("recycle_bin"), e.IsRecycleBin());
  return o;
}

void PrintJson(const ScanSession& session) {
  const UndelvoState& state = *session.state;
  const FoundState& found = state.Found;
  QJsonObject o;
  o.insert(QStringLiteral("drive"), state.Volume.DriveRoot);
  o.insert(QStringLiteral("fs"), FsNameOfKind(state.Volume.FsKind));
  o.insert(QStringLiteral("found"), found.FoundCount);
  o.insert(QStringLiteral("scanned"), found.ScannedCount);
  QJsonArray categories;
  for (int c = 1; c <= 6; ++c) categories.append(found.CategoryCount[size_t(c)]);
  o.insert(QStringLiteral("categories"), categories);
  QJsonArray files;
  for (const FoundRow& row : AllFoundRows(found)) files.append(RowToJson(row));
  o.insert(QStringLiteral("files"), files);
  if (!session.result.message.isEmpty()) o.insert(QStringLiteral("message"), session.result.message);
  if (session.stopped) o.insert(QStringLiteral("stopped"), true);
  std::fputs(QJsonDocument(o).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
}

void PrintText(const ScanSession& session) {
  const UndelvoState& state = *session.state;
  const FoundState& found = state.Found;
  for (const FoundRow& row : AllFoundRows(found)) {
    const EntryValue e = ParseEntryValue(row.value);
    // A Recycle Bin row's path is the file itself; an engine row's is its folder.
    const QString where = e.IsRecycleBin() ? e.path + QStringLiteral("  (Recycle Bin)") : e.path + row.name;
    std::printf("%-10s  %12lld  %-9s  %s\n", qPrintable(e.date), static_cast<long long>(e.size),
                qPrintable(row.section), qPrintable(where));
  }
  if (!session.result.message.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(session.result.message));
  if (session.result.end != ScanRunEnd::CheckFailed)
    std::printf("%s (%s): %d deleted file(s) found, %d record(s) scanned%s\n", qPrintable(state.Volume.DriveRoot),
                qPrintable(FsNameOfKind(state.Volume.FsKind)), int(found.FoundCount), int(found.ScannedCount),
                session.stopped ? ", stopped early" : "");
}

}  // namespace

int RunScanCommand(const QStringList& args) {
  ScanSession session;
  QString error;
  if (!ParseScanSession(args, session, error) || !session.rest.isEmpty()) {
    if (error.isEmpty()) error = QStringLiteral("unknown option ") + session.rest.first();
    std::fprintf(stderr, "undelvo-cli scan: %s\n%s", qPrintable(error), kUsage);
    return ExitBadInput;
  }
  if (const int status = RunScanSession(session, "scan"); status >= 0) return status;
  if (session.options.json) {
    PrintJson(session);
    if (!session.result.message.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(session.result.message));
  } else {
    PrintText(session);
  }
  return session.result.end == ScanRunEnd::CheckFailed ? ExitStoppedByCheck : ExitRan;
}

}  // namespace undelvo
