#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

namespace undelvo {

// The found-file counters a progress display shows: the total and one count
// per category (1 documents ... 6 other files; [0] unused).
struct FoundCounters {
  int32_t FoundCount = 0;
  std::array<int32_t, 7> CategoryCount{};
};

// The steps of a deep scan, shown one after another on the status line; the
// display looks up their texts.
enum DeepScanStep : int {
  StepFindRecords = 1,  // probing the volume for record clusters
  StepReadRecords = 2,  // reading the zones found
  StepFindFolders = 3,  // collecting the folder records
  StepFindFiles = 4,    // listing the deleted files
};
constexpr int kDeepScanSteps = 4;

// Where a long task reports its progress: the panel that started it, the
// terminal, a test. Engines call the public operations; a display overrides
// the On... hooks. The percentage is whole and is passed on only when it
// rises above the one shown, so a display redraws once per percent and its
// bar never moves back within a step.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;

  // A task or one of its parts begins: the bar at 0, the percentage empty.
  void Reset() {
    shown_ = 0;
    OnReset();
  }
  void Percent(int percent) {
    percent = std::min(percent, 100);
    if (percent <= shown_) return;
    shown_ = percent;
    OnPercent(percent);
  }
  // The task is complete: the bar full, the percentage "100%".
  void Done() {
    shown_ = 100;
    OnDone();
  }
  // A new step of a deep scan: the bar back at 0, then the step.
  void Step(int step) {
    Reset();
    OnStep(step);
  }
  int Shown() const { return shown_; }

  // The found-file counters (every so many files, not on every one).
  virtual void ShowFound(const FoundCounters& /*counters*/) {}
  // The count of records or entries examined.
  virtual void ShowScanned(int32_t /*count*/) {}
  // A recovery's counts so far: files written and files that could not be.
  virtual void ShowRestored(int32_t /*restored*/, int32_t /*failed*/) {}
  // A run switched from its checks to its running state (progress shown,
  // the other controls disabled), and back at its finish.
  virtual void ShowRunning(bool /*running*/) {}

 protected:
  virtual void OnReset() {}
  virtual void OnPercent(int /*percent*/) {}
  virtual void OnDone() {}
  virtual void OnStep(int /*step*/) {}

 private:
  int shown_ = 0;
};

}  // namespace undelvo
