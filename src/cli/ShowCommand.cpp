#include "cli/ShowCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/HelpTexts.h"
#include "cli/ScanSession.h"
#include "cli/TerminalSafe.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/PreviewRead.h"
#include "settings/LanguageFile.h"

namespace undelvo {

namespace {

struct ShowOptions {
  QString file;
  qint64 maxBytes = -1;  // -1: all the preview shows
};

bool ParseShowOptions(const QStringList& rest, ShowOptions& o, QString& error) {
  for (qsizetype i = 0; i < rest.size(); ++i) {
    const QString& a = rest[i];
    if (a != QLatin1String("--file") && a != QLatin1String("--bytes")) {
      error = QStringLiteral("unknown option ") + a;
      return false;
    }
    if (i + 1 >= rest.size()) {
      error = a + QStringLiteral(" needs a value");
      return false;
    }
    const QString& value = rest[++i];
    if (a == QLatin1String("--file")) {
      o.file = value;
      continue;
    }
    bool ok = false;
    o.maxBytes = value.toLongLong(&ok);
    if (!ok || o.maxBytes < 0) {
      error = QStringLiteral("--bytes takes a count of bytes, not '%1'").arg(value);
      return false;
    }
  }
  if (o.file.isEmpty()) error = QStringLiteral("--file NAME is required");
  return error.isEmpty();
}

// Where the scan lists a row: a Recycle Bin file by its own path, an
// engine's file by its folder and name ("C:\docs\plan.txt").
QString ListedPath(const FoundRow& row) {
  const EntryValue e = ParseEntryValue(row.value);
  return e.IsRecycleBin() ? e.path : e.path + row.name;
}

// The rows named `wanted`, by name or by listed path, letter case aside;
// among several, the one that matches in letter case too when there is one.
std::vector<FoundRow> RowsNamed(const FoundState& found, const QString& wanted) {
  std::vector<FoundRow> hits, exact;
  for (FoundRow& row : AllFoundRows(found)) {
    const QString path = ListedPath(row);
    if (row.name.compare(wanted, Qt::CaseInsensitive) != 0 && path.compare(wanted, Qt::CaseInsensitive) != 0)
      continue;
    if (row.name == wanted || path == wanted) exact.push_back(row);
    hits.push_back(std::move(row));
  }
  return hits.size() > 1 && exact.size() == 1 ? exact : hits;
}

}  // namespace

int RunShowCommand(const QStringList& args) {
  ScanSession session;
  ShowOptions options;
  QString error;
  if (!ParseScanSession(args, session, error) || !ParseShowOptions(session.rest, options, error)) {
    std::fprintf(stderr, "undelvo-cli show: %s\n%s", qPrintable(error), CommandUsage(QStringLiteral("show")).c_str());
    return ExitBadInput;
  }
  if (session.options.json) {
    std::fprintf(stderr, "undelvo-cli show: --json does not apply: the file's bytes go to standard output\n%s",
                 CommandUsage(QStringLiteral("show")).c_str());
    return ExitBadInput;
  }
  if (const int status = RunScanSession(session, "show"); status >= 0) return status;
  UndelvoState& state = *session.state;
  const LanguageFile& lang = state.Program.Lang;
  if (session.result.end == ScanRunEnd::CheckFailed) {
    PrintRunMessage(session);
    return ExitStoppedByCheck;
  }
  if (session.result.stopped) {  // the stop was meant for the whole command
    std::fputs("undelvo-cli show: stopped before the file was read\n", stderr);
    return ExitStopped;
  }

  const std::vector<FoundRow> rows = RowsNamed(state.Scan.Found, options.file);
  if (rows.empty()) {
    std::fprintf(stderr, "%s\n", qPrintable(LangText(lang, "File", "Message15")));
    return ExitStoppedByCheck;
  }
  if (rows.size() > 1) {
    std::fprintf(stderr, "undelvo-cli show: %d found files are named %s; give one of their paths:\n",
                 int(rows.size()), qPrintable(TerminalSafe(options.file)));
    for (const FoundRow& row : rows) std::fprintf(stderr, "  %s\n", qPrintable(TerminalSafe(ListedPath(row))));
    return ExitBadInput;
  }

  const FoundRow& row = rows.front();
  const PreviewContent preview = ReadPreview(state, row.name, row.value);
  switch (preview.kind) {
    case PreviewContent::Kind::Impossible:
      std::fprintf(stderr, "%s\n", qPrintable(preview.message));
      return ExitStoppedByCheck;
    case PreviewContent::Kind::Stock:
      std::fprintf(stderr, "undelvo-cli show: %s: the preview shows the stock picture %s\n",
                   qPrintable(TerminalSafe(row.name)), qPrintable(preview.stock));
      return ExitRan;
    case PreviewContent::Kind::Picture:
    case PreviewContent::Kind::Text:
      break;
  }
  qint64 count = preview.bytes.size();
  if (options.maxBytes >= 0 && options.maxBytes < count) count = options.maxBytes;
  if (std::fwrite(preview.bytes.constData(), 1, size_t(count), stdout) != size_t(count) || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "undelvo-cli show: could not write to standard output: %s\n", std::strerror(errno));
    return ExitStoppedByCheck;
  }
  return ExitRan;
}

}  // namespace undelvo
