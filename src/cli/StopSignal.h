#pragma once

namespace undelvo {

// Ctrl-C as Stop: the first SIGINT only raises a flag that the run's pump
// reads, so the run finishes early and reports what it found; a second one
// ends the process as usual.
void InstallStopSignal();
bool StopRequested();

}  // namespace undelvo
