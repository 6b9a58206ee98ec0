#include "cli/ScanSession.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "cli/ExitStatus.h"
#include "cli/StopSignal.h"
#include "cli/TerminalProgress.h"
#include "platform/FsNames.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"

namespace undelvo {

bool ParseScanSession(const QStringList& args, ScanSession& session, QString& error) {
  QStringList rest;
  session.options = ParseDriveOptions(args, rest);
  if (!session.options.error.isEmpty()) {
    error = session.options.error;
    return false;
  }
  if (!session.options.table.images.empty()) session.options.table.includeBlockDevices = false;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    const QString& a = rest[i];
    if (a == QLatin1String("--drive")) {
      if (i + 1 >= rest.size()) {
        error = QStringLiteral("--drive needs a drive letter such as C:");
        return false;
      }
      session.drive = rest[++i];
    } else if (a.startsWith(QLatin1String("--drive="))) {
      session.drive = a.mid(8);
    } else if (a == QLatin1String("--deep")) {
      session.advanced = true;
      session.advancedOptions.deep = true;
    } else if (a == QLatin1String("--mask") || a == QLatin1String("--name")) {
      if (i + 1 >= rest.size()) {
        error = a + QStringLiteral(" needs a value");
        return false;
      }
      session.advanced = true;
      (a == QLatin1String("--mask") ? session.advancedOptions.mask : session.advancedOptions.name) = rest[++i];
    } else if (a == QLatin1String("--state")) {
      if (i + 1 >= rest.size()) {
        error = QStringLiteral("--state needs a value: good, partial, overwritten or unknown");
        return false;
      }
      for (const QString& name : rest[++i].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        RecoverState state;
        if (!ParseRecoverStateName(name.trimmed(), state)) {
          error = QStringLiteral("--state takes good, partial, overwritten or unknown, not '%1'").arg(name);
          return false;
        }
        session.states.push_back(state);
      }
    } else {
      session.rest.append(a);
    }
  }
  if (session.advancedOptions.name.size() && session.advancedOptions.mask != QLatin1String("*.*")) {
    error = QStringLiteral("give --mask or --name, not both: --name replaces the mask");
    return false;
  }
  if (!session.drive.isEmpty()) {
    QString d = session.drive.toUpper();
    if (d.size() == 1) d += QLatin1Char(':');
    if (d.size() != 2 || !d[0].isLetter() || d[1] != QLatin1Char(':')) {
      error = QStringLiteral("--drive takes a drive letter such as C:, not '%1'").arg(session.drive);
      return false;
    }
    session.drive = d;
  }
  return true;
}

int RunScanSession(ScanSession& session, const char* command) {
  session.state = std::make_unique<UndelvoState>();
  UndelvoState& state = *session.state;
  ProgramState& program = state.Program;
  if (session.drive.isEmpty() && session.options.table.images.empty()) {
    std::fprintf(stderr,
                 "undelvo-cli %s: give the drive to scan with --drive C: (`undelvo-cli drives` lists them)"
                 " or a disk image with --image FILE\n",
                 command);
    return ExitBadInput;
  }
  program.Drives = BuildDriveTable(session.options.table);
  if (!program.Drives.errors.isEmpty()) {
    for (const QString& e : program.Drives.errors) std::fprintf(stderr, "undelvo-cli: %s\n", qPrintable(e));
    return ExitBadInput;
  }
  for (const QString& note : program.Drives.notes) std::fprintf(stderr, "undelvo-cli: %s\n", qPrintable(note));
  InitFolders(program.Config);
  LoadSettings(program.Config, program.Registry);
  OpenLanguageFile(program.Lang, program.Config.LangIndex, program.Config.DataDir);

  QString drive = session.drive;
  if (drive.isEmpty()) {
    QStringList supported;
    for (const DriveEntry& d : program.Drives.drives)
      if (IsScannableFsName(d.fsName) && !d.letter.isEmpty()) supported.append(d.letter);
    if (supported.size() > 1) {
      std::fprintf(stderr, "undelvo-cli %s: several drives (%s); choose one with --drive\n", command,
                   qPrintable(supported.join(QStringLiteral(", "))));
      return ExitBadInput;
    }
    if (supported.size() == 1) drive = supported.first();
  }

  TerminalProgress progress(program.Lang, "Scanning");
  InstallTerminalStop(state.Run, progress);
  session.result = session.advanced ? AdvancedScanRun(state, progress, drive, session.advancedOptions)
                                    : QuickScanRun(state, progress, drive);
  state.Run.SetPump({});  // the progress line ends here
  return -1;
}

int ScanExitStatus(const ScanSession& session) {
  if (session.result.end == ScanRunEnd::CheckFailed) return ExitStoppedByCheck;
  return session.result.stopped ? ExitStopped : ExitRan;
}

QString CheckHint(const ScanRunResult& result) {
  if (result.check == QLatin1String("Drive/Message9"))
    return QStringLiteral("try --deep: the deep scan searches the volume for MFT records without the MFT's map");
  if (result.check == QLatin1String("Note/Message1"))
    return ::geteuid() == 0 ? QStringLiteral("the system refuses the drive even to root (a container or a security policy?)")
                            : QStringLiteral("reading a drive raw needs root or the `disk` group"
                                             " (sudo undelvo-cli ..., or sudo usermod -aG disk $USER and log in again)");
  if (result.check == QLatin1String("Drive/Message3"))
    return QStringLiteral("`undelvo-cli drives` lists the drives and their letters");
  return {};
}

void PrintRunMessage(const ScanSession& session) {
  if (session.result.message.isEmpty()) return;
  std::fprintf(stderr, "%s\n", qPrintable(session.result.message));
  const QString hint = CheckHint(session.result);
  if (!hint.isEmpty()) std::fprintf(stderr, "undelvo-cli: %s\n", qPrintable(hint));
}

}  // namespace undelvo

namespace undelvo {

bool ListedState(const ScanSession& session, const FoundRow& row) {
  if (session.states.empty()) return true;
  const RecoverState state = StateOf(session.state->Scan.Found.States, row.value).state;
  return std::find(session.states.begin(), session.states.end(), state) != session.states.end();
}

std::vector<FoundRow> ListedRows(const ScanSession& session) {
  std::vector<FoundRow> rows = AllFoundRows(session.state->Scan.Found);
  std::erase_if(rows, [&](const FoundRow& row) { return !ListedState(session, row); });
  return rows;
}

}  // namespace undelvo
