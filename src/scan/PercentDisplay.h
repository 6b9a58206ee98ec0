#pragma once
#include <QString>

#include "scan/ScanHooks.h"

namespace undelvo {

// The bar (5 pixels per percent) and the percentage label of a long task,
// redrawn only when the percentage changes.
class PercentDisplay {
 public:
  explicit PercentDisplay(ScanHooks& hooks) : hooks_(hooks) {}

  void Show(int percent) {
    if (percent == shown_) return;
    shown_ = percent;
    hooks_.ShowBar(percent * 5);
    hooks_.ShowPercent(percent);
  }
  // A new step of the task: the bar and label at 0, then its status text.
  void Step(const QString& text) {
    hooks_.ShowBar(0);
    hooks_.ShowPercent(0);
    hooks_.ShowStatus(text);
    shown_ = 0;
  }
  int Shown() const { return shown_; }

 private:
  ScanHooks& hooks_;
  int shown_ = 0;
};

}  // namespace undelvo
