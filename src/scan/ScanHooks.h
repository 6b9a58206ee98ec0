#pragma once
#include <cstdint>

#include "found/FoundState.h"

namespace undelvo {

// What an engine reports while it works, and its way of letting the caller's
// events run. The window shows these on the panel that started the scan,
// the command line on the terminal, tests record them. Defaults do nothing.
class ScanHooks {
 public:
  virtual ~ScanHooks() = default;
  // Lets pending events run; a Stop clears Busy in the state the engine holds.
  virtual void Pump() {}
  // The percentage label ("N %").
  virtual void ShowPercent(int /*percent*/) {}
  // The progress bar, 0 to 500 wide.
  virtual void ShowBar(int /*width*/) {}
  // The found-file counters (every so many files, not on every one).
  virtual void ShowFound(const FoundState& /*found*/) {}
  // The count of records or entries examined.
  virtual void ShowScanned(int32_t /*count*/) {}
};

}  // namespace undelvo
