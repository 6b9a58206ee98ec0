#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "cli/DriveOptions.h"
#include "found/FoundRows.h"
#include "found/Recoverability.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/ScanRunResult.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// What scan and recover share: the drive options (--image FILE..., --drive
// C:, --json), the program's state with its settings and texts, and the
// quick scan run of the chosen drive.
struct ScanSession {
  DriveOptions options;
  QString drive;       // the --drive value, empty when left out
  bool advanced = false;         // --deep, --mask or --name given: the advanced scan
  AdvancedScanOptions advancedOptions;
  std::vector<RecoverState> states;  // --state: the states listed; empty for all
  QStringList rest;    // arguments left for the command's own options
  std::unique_ptr<UndelvoState> state;
  ScanRunResult result;  // its `stopped`: Ctrl-C ended the run early
};

// Parses the shared options (--image FILE..., --drive C:, --json, --deep,
// --mask PATTERN, --name TEXT, --state good[,partial...]). With --image, the drives are those of the
// images alone. False (and a message in `error`) on bad usage.
bool ParseScanSession(const QStringList& args, ScanSession& session, QString& error);

// Builds the drive table, picks the drive (the only supported one when
// --drive is left out) and runs the scan with a terminal progress bar, with
// Ctrl-C as Stop.
// Returns an exit status when the command must end here (bad input), or -1.
int RunScanSession(ScanSession& session, const char* command);

// The exit status a finished scan gives: 1 when a check refused the drive,
// 3 when Ctrl-C stopped it, else 0.
int ScanExitStatus(const ScanSession& session);

// What the user can do about a check's refusal ("try --deep" after "MFT list
// reading error!"); empty when there is nothing to add.
QString CheckHint(const ScanRunResult& result);

// The run's message on stderr, with its hint.
void PrintRunMessage(const ScanSession& session);

// Whether a found file passes --state.
bool ListedState(const ScanSession& session, const FoundRow& row);

// The found files in the store's order that pass --state.
std::vector<FoundRow> ListedRows(const ScanSession& session);

}  // namespace undelvo
