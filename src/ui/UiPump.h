#pragma once
#include <QElapsedTimer>
#include <cstdint>

#include "run/RunControl.h"

namespace undelvo::ui {

// The window's pump for the engines: pending events (repaints, a Stop click,
// a message from a second start) run at most every ~15 ms, and a clock check
// is all it costs in between, so it can be called once per record.
class UiPump {
 public:
  // Makes this the run's pump for as long as it lives; events run when
  // `intervalMs` have passed since they last did.
  UiPump(RunControl& run, int intervalMs);
  ~UiPump();
  UiPump(const UiPump&) = delete;
  UiPump& operator=(const UiPump&) = delete;

  void Pump();
  // The longest time between two event runs since this pump was made: how
  // long the window could not react.
  qint64 LongestGapMs() const { return longestGapMs_; }

 private:
  RunControl& run_;
  const qint64 intervalMs_;
  QElapsedTimer sinceEvents_;
  qint64 longestGapMs_ = 0;
};

}  // namespace undelvo::ui
