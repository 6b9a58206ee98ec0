#include "cli/RecoverCommand.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstring>

#include "cli/ExitStatus.h"
#include "cli/ScanSession.h"
#include "cli/TerminalProgress.h"
#include "cli/TerminalSafe.h"
#include "found/FoundRows.h"
#include "cli/StopSignal.h"
#include "scan/RecoverRun.h"
#include "settings/LanguageFile.h"

namespace undelvo {

namespace {

constexpr char kUsage[] =
    "usage: undelvo-cli recover (--drive C: | --image FILE [--drive C:]) [--deep] [--mask PATTERN] [--name TEXT]\n"
    "                           [--state STATE[,STATE]] --to FOLDER (--all | --match TEXT) [--json]\n";

struct RecoverOptions {
  QString to;
  bool all = false;
  QString match;
};

bool ParseRecoverOptions(const QStringList& rest, RecoverOptions& o, QString& error) {
  for (qsizetype i = 0; i < rest.size(); ++i) {
    const QString& a = rest[i];
    auto value = [&](QString& out) {
      if (i + 1 >= rest.size()) {
        error = a + QStringLiteral(" needs a value");
        return false;
      }
      out = rest[++i];
      return true;
    };
    if (a == QLatin1String("--to")) {
      if (!value(o.to)) return false;
    } else if (a == QLatin1String("--match")) {
      if (!value(o.match)) return false;
    } else if (a == QLatin1String("--all")) {
      o.all = true;
    } else {
      error = QStringLiteral("unknown option ") + a;
      return false;
    }
  }
  if (o.to.isEmpty()) error = QStringLiteral("--to FOLDER is required");
  else if (o.all == !o.match.isEmpty()) error = QStringLiteral("give either --all or --match TEXT");
  return error.isEmpty();
}

// How a file written in a state other than good was found: "(partial, 40 % intact)".
QString DamageText(const Recoverability& state) {
  if (state.state == RecoverState::Partial)
    return QStringLiteral("(partial, %1 % intact)").arg(state.intactPercent);
  return QStringLiteral("(%1)").arg(RecoverStateName(state.state));
}

// The rows whose file could not be created or written, with the reason.
std::vector<const RecoveredRow*> FailedRows(const RecoverRunResult& result) {
  std::vector<const RecoveredRow*> failed;
  for (const RecoveredRow& row : result.rows)
    if (row.outcome.Failed()) failed.push_back(&row);
  return failed;
}

void Report(const ScanSession& session, const RecoverRunResult& result, const QString& folder,
            const QString& message) {
  const UndelvoState& state = *session.state;
  const QString line = FilesRestoredText(state.Program.Lang, result.restored, result.mayBeDamaged);
  const std::vector<const RecoveredRow*> failed = FailedRows(result);
  if (!message.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(message));
  for (const RecoveredRow* row : failed)
    std::fprintf(stderr, "undelvo-cli recover: could not write %s into %s: %s\n", qPrintable(TerminalSafe(row->name)),
                 qPrintable(folder), std::strerror(row->outcome.error));
  for (const RecoveredRow& row : result.rows)
    if (row.MayBeDamaged())
      std::fprintf(stderr, "undelvo-cli recover: %s was restored %s: its contents may be damaged\n",
                   qPrintable(TerminalSafe(row.name)), qPrintable(DamageText(row.state)));
  if (session.options.json) {
    QJsonObject o;
    o.insert(QStringLiteral("drive"), state.Scan.Volume.DriveRoot);
    o.insert(QStringLiteral("found"), state.Scan.Found.FoundCount);
    o.insert(QStringLiteral("restored"), result.restored);
    o.insert(QStringLiteral("to"), folder);
    QJsonArray failedList;
    for (const RecoveredRow* row : failed)
      failedList.append(QJsonObject{{QStringLiteral("name"), row->name},
                                    {QStringLiteral("error"), QString::fromLocal8Bit(std::strerror(row->outcome.error))}});
    if (!failedList.isEmpty()) o.insert(QStringLiteral("failed"), failedList);
    QJsonArray damagedList;
    for (const RecoveredRow& row : result.rows) {
      if (!row.MayBeDamaged()) continue;
      QJsonObject d{{QStringLiteral("name"), row.name}, {QStringLiteral("state"), RecoverStateName(row.state.state)}};
      d.insert(QStringLiteral("intact_percent"), row.state.intactPercent < 0 ? QJsonValue() : QJsonValue(row.state.intactPercent));
      damagedList.append(d);
    }
    o.insert(QStringLiteral("may_be_damaged"), result.mayBeDamaged);
    if (!damagedList.isEmpty()) o.insert(QStringLiteral("damaged"), damagedList);
    if (!message.isEmpty()) o.insert(QStringLiteral("message"), message);
    if (session.result.stopped || result.stopped) o.insert(QStringLiteral("stopped"), true);
    std::fputs(QJsonDocument(o).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
  } else {
    std::printf("%s\n", qPrintable(line));
  }
}

// Writing restored files onto the scanned volume can overwrite the very
// clusters still to be restored: say so when the save folder lies on it.
void WarnWhenOnTheScannedVolume(const UndelvoState& state, const QString& folder) {
  const DriveEntry* drive = state.Program.Drives.Find(state.Scan.Volume.DriveRoot);
  if (drive == nullptr || drive->mountPoint.isEmpty()) return;
  const QString mount = QDir::cleanPath(drive->mountPoint);
  if (folder != mount && !folder.startsWith(mount == QLatin1String("/") ? mount : mount + QLatin1Char('/'))) return;
  std::fprintf(stderr, "undelvo-cli recover: %s\n", qPrintable(LangText(state.Program.Lang, "Note", "Message2").trimmed()));
}

}  // namespace

int RunRecoverCommand(const QStringList& args) {
  ScanSession session;
  RecoverOptions options;
  QString error;
  if (!ParseScanSession(args, session, error) || !ParseRecoverOptions(session.rest, options, error)) {
    std::fprintf(stderr, "undelvo-cli recover: %s\n%s", qPrintable(error), kUsage);
    return ExitBadInput;
  }
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(options.to));
  if (const int status = RunScanSession(session, "recover"); status >= 0) return status;
  UndelvoState& state = *session.state;
  if (session.result.end == ScanRunEnd::CheckFailed) {
    Report(session, {}, folder, session.result.message);
    return ExitStoppedByCheck;
  }
  if (session.result.stopped || session.result.end == ScanRunEnd::NothingFound) {
    // A stopped scan restores nothing: the stop was meant for the whole command.
    Report(session, {}, folder, session.result.message);
    return ExitRan;
  }

  const FoundState& found = state.Scan.Found;
  std::vector<FoundRow> rows = options.all ? AllFoundRows(found) : SearchFoundRows(found, options.match);
  std::erase_if(rows, [&](const FoundRow& row) { return !ListedState(session, row); });
  if (rows.empty()) {
    Report(session, {}, folder, LangText(state.Program.Lang, "File", "Message15"));
    return ExitRan;
  }
  state.Program.Config.SaveFolder = folder;
  TerminalProgress progress(state.Program.Lang, "Restoring");
  InstallTerminalStop(state.Run, progress);
  if (QDir().mkpath(folder)) WarnWhenOnTheScannedVolume(state, folder);
  const RecoverRunResult result = RecoverRun(state, progress, rows, std::vector<bool>(rows.size(), true));
  state.Run.SetPump({});
  progress.Clear();
  if (result.end == RecoverRunEnd::NoSaveFolder) {
    Report(session, {}, folder, result.message + QStringLiteral(" (") + folder + ')');
    return ExitBadInput;
  }
  Report(session, result, folder, QString());
  return ExitRan;
}

}  // namespace undelvo
