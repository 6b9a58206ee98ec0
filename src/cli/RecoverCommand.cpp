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
#include "scan/RecoverRun.h"
#include "settings/LanguageFile.h"

namespace undelvo {

namespace {

constexpr char kUsage[] =
    "usage: undelvo-cli recover (--drive C: | --image FILE [--drive C:]) [--deep] [--mask PATTERN] [--name TEXT]\n"
    "                           --to FOLDER (--all | --match TEXT) [--json]\n";

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

void Report(const ScanSession& session, const RecoverResult& result, const QString& folder, const QString& message) {
  const UndelvoState& state = *session.state;
  const QString line =
      QStringLiteral("%1 %2").arg(result.restored).arg(LangText(state.Lang, "File", "FilesRestored"));
  if (!message.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(message));
  for (const auto& [name, error] : result.failed)
    std::fprintf(stderr, "undelvo-cli recover: could not write %s into %s: %s\n", qPrintable(TerminalSafe(name)),
                 qPrintable(folder), std::strerror(error));
  if (session.options.json) {
    QJsonObject o;
    o.insert(QStringLiteral("drive"), state.Volume.DriveRoot);
    o.insert(QStringLiteral("found"), state.Found.FoundCount);
    o.insert(QStringLiteral("restored"), result.restored);
    o.insert(QStringLiteral("to"), folder);
    QJsonArray failed;
    for (const auto& [name, error] : result.failed)
      failed.append(QJsonObject{{QStringLiteral("name"), name},
                                {QStringLiteral("error"), QString::fromLocal8Bit(std::strerror(error))}});
    if (!failed.isEmpty()) o.insert(QStringLiteral("failed"), failed);
    if (!message.isEmpty()) o.insert(QStringLiteral("message"), message);
    if (session.stopped) o.insert(QStringLiteral("stopped"), true);
    std::fputs(QJsonDocument(o).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
  } else {
    std::printf("%s\n", qPrintable(line));
  }
}

// Writing restored files onto the scanned volume can overwrite the very
// clusters still to be restored: say so when the save folder lies on it.
void WarnWhenOnTheScannedVolume(const UndelvoState& state, const QString& folder) {
  const DriveEntry* drive = state.Drives.Find(state.Volume.DriveRoot);
  if (drive == nullptr || drive->mountPoint.isEmpty()) return;
  const QString mount = QDir::cleanPath(drive->mountPoint);
  if (folder != mount && !folder.startsWith(mount == QLatin1String("/") ? mount : mount + QLatin1Char('/'))) return;
  std::fprintf(stderr, "undelvo-cli recover: %s\n", qPrintable(LangText(state.Lang, "Note", "Message2").trimmed()));
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
  if (session.stopped || session.result.end == ScanRunEnd::NothingFound) {
    // A stopped scan restores nothing: the stop was meant for the whole command.
    Report(session, {}, folder, session.result.message);
    return ExitRan;
  }

  const std::vector<FoundRow> rows = options.all ? AllFoundRows(state.Found) : SearchFoundRows(state.Found, options.match);
  if (rows.empty()) {
    Report(session, {}, folder, LangText(state.Lang, "File", "Message15"));
    return ExitRan;
  }
  if (!QDir().mkpath(folder)) {
    Report(session, {}, folder, LangText(state.Lang, "File", "Message13") + QStringLiteral(" (") + folder + ')');
    return ExitBadInput;
  }
  state.Config.SaveFolder = folder;
  WarnWhenOnTheScannedVolume(state, folder);
  TerminalProgress progress(state.Busy, "Restoring");
  const RecoverResult result = RecoverRows(state, progress, rows);
  session.stopped = progress.Stopped();
  progress.Clear();
  Report(session, result, folder, QString());
  return ExitRan;
}

}  // namespace undelvo
