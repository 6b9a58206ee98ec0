#pragma once
#include "cli/TerminalProgress.h"
#include "run/RunControl.h"

namespace undelvo {

// Ctrl-C as Stop: the first SIGINT only raises a flag that the run's pump
// reads, so the run finishes early and reports what it found; a second one
// ends the process as usual.
void InstallStopSignal();
bool StopRequested();

// Installs the signal and makes it the run's pump: a Ctrl-C stops the run
// at its next check and marks the progress line as stopping.
void InstallTerminalStop(RunControl& run, TerminalProgress& progress);

}  // namespace undelvo
