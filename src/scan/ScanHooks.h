#pragma once
#include <QString>
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
  // One category's counter (1..6), when a single file changed it.
  virtual void ShowCategoryCount(int /*category*/, int32_t /*count*/) {}
  // The percentage label as a whole text: empty when a run starts, "100%" at its end.
  virtual void ShowProgressText(const QString& /*text*/) {}
  // The status line: the step a long scan is at ("Find MFT records (1/4)").
  virtual void ShowStatus(const QString& /*text*/) {}
  // A run switched between its checks and its running state (progress shown,
  // the other controls disabled) and back at its finish.
  virtual void ShowRunning(bool /*running*/) {}
  // A run's message for the user ("Drive not found!" ...), in the current language.
  virtual void ShowMessage(const QString& /*text*/) {}
};

}  // namespace undelvo
