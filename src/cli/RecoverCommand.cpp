#include "cli/RecoverCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <cstdio>
#include <cstring>

#include "cli/ExitStatus.h"
#include "cli/HelpTexts.h"
#include "cli/ScanSession.h"
#include "cli/TerminalProgress.h"
#include "cli/TerminalSafe.h"
#include "found/FoundRows.h"
#include "found/SaveFile.h"
#include "cli/StopSignal.h"
#include "scan/RecoverRun.h"
#include "settings/LanguageFile.h"

namespace undelvo {

namespace {

struct RecoverOptions {
  QString to;
  bool all = false;
  QString match;
  bool keepFolders = false;
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
    } else if (a == QLatin1String("--keep-folders")) {
      o.keepFolders = true;
    } else {
      error = QStringLiteral("unknown option ") + a;
      return false;
    }
  }
  if (o.to.isEmpty()) error = QStringLiteral("--to FOLDER is required");
  else if (o.all == !o.match.isEmpty()) error = QStringLiteral("give either --all or --match PATTERN");
  return error.isEmpty();
}

// --match selects with the name search itself, so that it restores exactly
// what `scan --name PATTERN` lists.
bool ApplyMatch(const RecoverOptions& o, ScanSession& session, QString& error) {
  if (o.match.isEmpty()) return true;
  if (!session.advancedOptions.name.isEmpty() || session.advancedOptions.mask != QLatin1String("*.*")) {
    error = QStringLiteral("--match is the name search: give it without --mask or --name");
    return false;
  }
  session.advanced = true;
  session.advancedOptions.name = o.match;
  return true;
}

// How a file written in a state other than good was found: "(partial, 40 % intact)".
QString DamageText(const Recoverability& state) {
  if (state.state == RecoverState::Partial)
    return QStringLiteral("(partial, %1 % intact)").arg(state.intactPercent);
  return QStringLiteral("(%1)").arg(RecoverStateName(state.state));
}

QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Where a found file was on the volume: its folder and name as the scan shows them.
QString SourceText(const RecoveredRow& row) {
  return row.sourcePath.endsWith(QLatin1Char('\\')) ? row.sourcePath + row.name : row.sourcePath;
}

QJsonObject WrittenToJson(const RecoveredRow& row) {
  return QJsonObject{{QStringLiteral("name"), QFileInfo(row.outcome.path).fileName()},
                     {QStringLiteral("path"), row.outcome.path},
                     {QStringLiteral("source_path"), row.sourcePath},
                     {QStringLiteral("source_name"), row.name},
                     {QStringLiteral("size"), qint64(row.outcome.bytes)}};
}

void Report(const ScanSession& session, const RecoverRunResult& result, const QString& folder,
            const QString& message) {
  const UndelvoState& state = *session.state;
  const QString line = FilesRestoredText(state.Program.Lang, result.restored, result.mayBeDamaged);
  if (!message.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString hint = CheckHint(session.result);
    if (!hint.isEmpty()) std::fprintf(stderr, "undelvo-cli: %s\n", qPrintable(hint));
  }
  QStringList notWritten;
  for (const RecoveredRow& row : result.rows) {
    if (row.outcome.Failed()) {
      std::fprintf(stderr, "undelvo-cli recover: could not write %s into %s: %s (nothing of it is kept)\n",
                   qPrintable(TerminalSafe(SourceText(row))), qPrintable(TerminalSafe(folder)),
                   qPrintable(ErrorText(row.outcome.error)));
      notWritten << SourceText(row);
    } else if (row.outcome.Stopped()) {
      std::fprintf(stderr, "undelvo-cli recover: %s was cut short by the stop and removed\n",
                   qPrintable(TerminalSafe(SourceText(row))));
    } else if (row.MayBeDamaged()) {
      std::fprintf(stderr, "undelvo-cli recover: %s was restored %s: its contents may be damaged\n",
                   qPrintable(TerminalSafe(row.name)), qPrintable(DamageText(row.state)));
    }
  }
  if (!notWritten.isEmpty())
    std::fprintf(stderr, "undelvo-cli recover: %d file(s) could not be written: %s\n", int(notWritten.size()),
                 qPrintable(TerminalSafe(notWritten.join(QStringLiteral(", ")))));
  if (!session.options.json) {
    std::printf("%s\n", qPrintable(line));
    return;
  }
  QJsonObject o;
  const QString& drive = state.Scan.Volume.DriveRoot;
  o.insert(QStringLiteral("drive"), drive.isEmpty() ? QJsonValue() : QJsonValue(drive));
  o.insert(QStringLiteral("found"), state.Scan.Found.FoundCount);
  o.insert(QStringLiteral("restored"), result.restored);
  o.insert(QStringLiteral("to"), folder);
  QJsonArray written, failed, damaged;
  for (const RecoveredRow& row : result.rows) {
    if (row.outcome.Written()) written.append(WrittenToJson(row));
    if (row.outcome.Failed())
      failed.append(QJsonObject{{QStringLiteral("name"), row.name},
                                {QStringLiteral("source_path"), row.sourcePath},
                                {QStringLiteral("error"), ErrorText(row.outcome.error)}});
    if (!row.MayBeDamaged()) continue;
    QJsonObject d{{QStringLiteral("name"), row.name}, {QStringLiteral("state"), RecoverStateName(row.state.state)}};
    d.insert(QStringLiteral("intact_percent"), row.state.intactPercent < 0 ? QJsonValue() : QJsonValue(row.state.intactPercent));
    damaged.append(d);
  }
  o.insert(QStringLiteral("written"), written);
  o.insert(QStringLiteral("failed"), failed);
  o.insert(QStringLiteral("may_be_damaged"), result.mayBeDamaged);
  o.insert(QStringLiteral("damaged"), damaged);
  if (!message.isEmpty()) o.insert(QStringLiteral("message"), message);
  o.insert(QStringLiteral("stopped"), session.result.stopped || result.stopped);
  std::fputs(QJsonDocument(o).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
}

// The outermost folder of `folder` that does not exist yet; empty when it exists.
QString FirstMissingFolder(const QString& folder) {
  QString missing;
  for (QString at = folder; !QFileInfo::exists(at); at = QFileInfo(at).path()) {
    missing = at;
    if (QFileInfo(at).path() == at) break;
  }
  return missing;
}

// Removes `folder` and the folders above it up to `top`, as long as they are empty.
void RemoveEmptyFolders(const QString& folder, const QString& top) {
  for (QString at = folder; at.startsWith(top); at = QFileInfo(at).path())
    if (!QDir().rmdir(at) || at == top) break;
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
  if (!ParseScanSession(args, session, error) || !ParseRecoverOptions(session.rest, options, error) ||
      !ApplyMatch(options, session, error)) {
    std::fprintf(stderr, "undelvo-cli recover: %s\n%s", qPrintable(error), CommandUsage(QStringLiteral("recover")).c_str());
    return ExitBadInput;
  }
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(options.to));
  // Made before the scan, so that a folder that cannot be made is known before
  // a long scan runs; taken away again when nothing comes to be written in it.
  const QString firstMade = FirstMissingFolder(folder);
  const auto removeUnused = qScopeGuard([&] {
    if (!firstMade.isEmpty()) RemoveEmptyFolders(folder, firstMade);
  });
  if (int made = 0; !MakeSaveFolder(folder, made)) {
    std::fprintf(stderr, "undelvo-cli recover: cannot make the save folder %s: %s\n", qPrintable(TerminalSafe(folder)),
                 qPrintable(ErrorText(made)));
    return ExitBadInput;
  }
  if (const int status = RunScanSession(session, "recover"); status >= 0) return status;
  UndelvoState& state = *session.state;
  if (session.result.end == ScanRunEnd::CheckFailed || session.result.stopped ||
      session.result.end == ScanRunEnd::NothingFound) {
    // A stopped scan restores nothing: the stop was meant for the whole command.
    Report(session, {}, folder, session.result.message);
    return ScanExitStatus(session);
  }

  std::vector<FoundRow> rows = ListedRows(session);
  if (rows.empty()) {
    Report(session, {}, folder, LangText(state.Program.Lang, "File", "Message15"));
    return ExitRan;
  }
  state.Program.Config.SaveFolder = folder;
  TerminalProgress progress(state.Program.Lang, "Restoring");
  InstallTerminalStop(state.Run, progress);
  WarnWhenOnTheScannedVolume(state, folder);
  const RecoverRunResult result = RecoverRun(state, progress, rows, std::vector<bool>(rows.size(), true),
                                             RecoverRunOptions{options.keepFolders});
  state.Run.SetPump({});
  progress.Clear();
  if (result.end == RecoverRunEnd::NoSaveFolder) {
    std::fprintf(stderr, "undelvo-cli recover: cannot make the save folder %s: %s\n", qPrintable(TerminalSafe(folder)),
                 qPrintable(ErrorText(result.error)));
    return ExitBadInput;
  }
  Report(session, result, folder, QString());
  if (result.stopped) return ExitStopped;
  return result.failed > 0 ? ExitNotAllWritten : ExitRan;
}

}  // namespace undelvo
