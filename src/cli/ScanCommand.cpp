#include "cli/ScanCommand.h"

#include <cstdio>

#include "cli/ExitStatus.h"
#include "cli/HelpTexts.h"
#include "cli/JsonText.h"
#include "cli/TerminalSafe.h"
#include "cli/ScanSession.h"
#include "found/CategoryTable.h"
#include "found/ClassifyFile.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/FoundFileTime.h"

namespace undelvo {

namespace {

// The six categories' counts by name, in category order (1 to 6).
constexpr const char* kCategoryNames[6] = {"documents", "images", "media", "binaries", "web_files", "others"};

// A file's state as the text column shows it: "good", "partial 40%", "overwritten", "unknown".
QString StateColumn(const Recoverability& state) {
  QString text = RecoverStateName(state.state);
  if (state.state == RecoverState::Partial) text += QStringLiteral(" %1%").arg(state.intactPercent);
  return text;
}

// One file of the "files" list; written as text so that a large scan needs
// no document tree in memory.
QByteArray RowToJson(const FoundRow& row, const EntryValue& e, const Recoverability& state, const QString& dateTime) {
  int category = 0;
  ClassifyFile(row.name, category);
  if (row.section == QLatin1String("OTHER")) category = 6;
  QByteArray o;
  o.reserve(320);  // one allocation for a whole line of usual length
  o += "{\"name\":" + JsonString(row.name);
  o += ",\"type\":" + JsonString(row.section);
  o += ",\"category\":" + QByteArray::number(category);
  o += ",\"path\":" + JsonString(e.path);
  o += ",\"date\":" + JsonString(e.date);
  // Digits, "-", ":" and "T" only: nothing to escape.
  o += ",\"datetime\":" + (dateTime.isEmpty() ? QByteArray("null") : '"' + dateTime.toLatin1() + '"');
  o += ",\"size\":" + QByteArray::number(qint64(e.size));
  o += ",\"locator\":" + (e.IsRecycleBin() ? QByteArray("null") : QByteArray::number(qint64(e.locator)));
  o += ",\"state\":\"" + RecoverStateName(state.state).toLatin1() + '"';
  o += ",\"intact_percent\":" + (state.intactPercent < 0 ? QByteArray("null") : QByteArray::number(state.intactPercent));
  o += e.IsRecycleBin() ? ",\"recycle_bin\":true}" : ",\"recycle_bin\":false}";
  return o;
}

// The found files by kind, as the results' category list shows them: each
// group's caption, then its entries' captions.
void PrintCategories(const ScanSession& session) {
  const UndelvoState& state = *session.state;
  const FoundState& found = state.Scan.Found;
  for (const CategoryGroup& group : CategoryGroups()) {
    std::printf("%s\n", qPrintable(GroupCaption(state.Program.Lang, group, GroupCount(found, group))));
    for (const CategoryEntry& entry : group.entries)
      std::printf("  %s\n", qPrintable(EntryCaption(state.Program.Lang, entry, EntryCount(found, entry))));
  }
}

QByteArray CategoriesToJson(const ScanSession& session) {
  const UndelvoState& state = *session.state;
  const FoundState& found = state.Scan.Found;
  QByteArray o = ",\"groups\":[";
  bool firstGroup = true;
  for (const CategoryGroup& group : CategoryGroups()) {
    o += (firstGroup ? "{\"caption\":" : ",{\"caption\":") +
         JsonString(GroupCaption(state.Program.Lang, group, GroupCount(found, group)));
    o += ",\"count\":" + QByteArray::number(GroupCount(found, group)) + ",\"entries\":[";
    bool firstEntry = true;
    for (const CategoryEntry& entry : group.entries) {
      const int count = EntryCount(found, entry);
      o += (firstEntry ? "{\"caption\":" : ",{\"caption\":") +
           JsonString(EntryCaption(state.Program.Lang, entry, count));
      o += ",\"section\":" + JsonString(entry.section ? QString::fromLatin1(entry.section) : QString::fromLatin1(kOtherFilesMarker));
      o += ",\"count\":" + QByteArray::number(count) + "}";
      firstEntry = false;
    }
    o += "]}";
    firstGroup = false;
  }
  return o + "]";
}

void PrintJson(ScanSession& session, bool categories) {
  UndelvoState& state = *session.state;
  const FoundState& found = state.Scan.Found;
  // No drive was chosen when a check stopped the run first: null, as drives does.
  const QString& drive = state.Scan.Volume.DriveRoot;
  const QString fs = FsNameFromKind(state.Scan.Volume.FsKind);
  QByteArray head = "{\"drive\":" + (drive.isEmpty() ? QByteArray("null") : JsonString(drive));
  head += ",\"fs\":" + (fs.isEmpty() ? QByteArray("null") : JsonString(fs));
  head += ",\"found\":" + QByteArray::number(found.FoundCount);
  head += ",\"scanned\":" + QByteArray::number(found.ScannedCount);
  head += ",\"categories\":{";
  for (int c = 1; c <= 6; ++c)
    head += (c > 1 ? ",\"" : "\"") + QByteArray(kCategoryNames[c - 1]) + "\":" +
            QByteArray::number(found.CategoryCount[size_t(c)]);
  head += "}";
  head += session.result.stopped ? ",\"stopped\":true" : ",\"stopped\":false";
  if (!session.result.message.isEmpty()) head += ",\"message\":" + JsonString(session.result.message);
  if (categories) head += CategoriesToJson(session);
  head += ",\"files\":[";
  std::fwrite(head.constData(), 1, size_t(head.size()), stdout);
  bool first = true;
  for (const FoundRow& row : ListedRows(session)) {
    if (!first) std::fputc(',', stdout);
    first = false;
    const EntryValue e = ParseEntryValue(row.value);
    const QByteArray o = RowToJson(row, e, StateOf(found.States, row.value), FoundFileIsoTime(state.Scan, row.value, e));
    std::fwrite(o.constData(), 1, size_t(o.size()), stdout);
  }
  std::fputs("]}\n", stdout);
}

void PrintRows(const ScanSession& session) {
  const FoundState& found = session.state->Scan.Found;
  for (const FoundRow& row : ListedRows(session)) {
    const EntryValue e = ParseEntryValue(row.value);
    // A Recycle Bin row's path is the file itself; an engine row's is its folder.
    const QString where = e.IsRecycleBin() ? e.path + QStringLiteral("  (Recycle Bin)") : e.path + row.name;
    std::printf("%-11s  %12lld  %-11s  %-9s  %s\n", qPrintable(TerminalSafe(e.date)), static_cast<long long>(e.size),
                qPrintable(StateColumn(StateOf(found.States, row.value))), qPrintable(TerminalSafe(row.section)),
                qPrintable(TerminalSafe(where)));
  }
}

void PrintText(const ScanSession& session, bool categories) {
  const ScanState& scan = session.state->Scan;
  const FoundState& found = scan.Found;
  if (categories) PrintCategories(session);
  else PrintRows(session);
  PrintRunMessage(session);
  if (session.result.end != ScanRunEnd::CheckFailed)
    std::printf("%s (%s): %d deleted file(s) found, %d record(s) scanned%s\n", qPrintable(scan.Volume.DriveRoot),
                qPrintable(FsNameFromKind(scan.Volume.FsKind)), int(found.FoundCount), int(found.ScannedCount),
                session.result.stopped ? ", stopped early" : "");
}

}  // namespace

int RunScanCommand(const QStringList& args) {
  ScanSession session;
  QString error;
  const bool categories = ParseScanSession(args, session, error) && session.rest.removeAll("--categories") > 0;
  if (!error.isEmpty() || !session.rest.isEmpty()) {
    if (error.isEmpty()) error = QStringLiteral("unknown option ") + session.rest.first();
    std::fprintf(stderr, "undelvo-cli scan: %s\n%s", qPrintable(error), CommandUsage(QStringLiteral("scan")).c_str());
    return ExitBadInput;
  }
  if (const int status = RunScanSession(session, "scan"); status >= 0) return status;
  if (session.options.json) {
    PrintJson(session, categories);
    PrintRunMessage(session);
  } else {
    PrintText(session, categories);
  }
  return ScanExitStatus(session);
}

}  // namespace undelvo
