#pragma once
#include <cstdint>

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
};

}  // namespace undelvo
