#pragma once

namespace undelvo {

// Exit statuses of every command of undelvo-cli.
enum ExitStatus {
  ExitRan = 0,         // the work ran, whatever it found
  ExitStoppedByCheck = 1,  // a check of the run stopped it with one of the program's messages
  ExitBadInput = 2,    // bad usage or input
};

}  // namespace undelvo
