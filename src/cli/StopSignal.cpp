#include "cli/StopSignal.h"

#include <csignal>

namespace undelvo {

namespace {

// A signal handler can only talk to the program through a flag of this kind.
volatile std::sig_atomic_t stopFlag = 0;

void OnInterrupt(int) {
  stopFlag = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

void InstallStopSignal() { std::signal(SIGINT, OnInterrupt); }

bool StopRequested() { return stopFlag != 0; }

void InstallTerminalStop(RunControl& run, TerminalProgress& progress) {
  InstallStopSignal();
  run.SetPump([&run, &progress] {
    if (StopRequested() && run.Busy()) {
      run.RequestStop();
      progress.ShowStopping();
    }
  });
}

}  // namespace undelvo
