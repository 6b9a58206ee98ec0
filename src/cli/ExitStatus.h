#pragma once

namespace undelvo {

// Exit statuses of every command of undelvo-cli.
enum ExitStatus {
  ExitRan = 0,             // the work ran to its end, whatever it found
  ExitStoppedByCheck = 1,  // a check of the run stopped it with one of the program's messages
  ExitBadInput = 2,        // bad usage or input: an option, an image, a save folder
  ExitStopped = 3,         // Ctrl-C stopped the run: what it printed is partial
  ExitNotAllWritten = 4,   // recover could not write some of the files; the others are written
};

}  // namespace undelvo
