#pragma once
#include <QElapsedTimer>
#include <cstdint>

#include "scan/ScanHooks.h"

namespace undelvo {

// The command line's progress sink: a one-line bar with the percentage and
// the count of files found, redrawn on stderr at most ten times a second
// when stderr is a terminal, and Ctrl-C turned into a stop of the run.
class TerminalProgress : public ScanHooks {
 public:
  explicit TerminalProgress(uint8_t& busy, const char* action);
  ~TerminalProgress() override;

  void Pump() override;
  void ShowPercent(int percent) override;
  void ShowBar(int width) override;
  void ShowFound(const FoundState& found) override;
  void ShowCategoryCount(int category, int32_t count) override;
  void ShowProgressText(const QString& text) override;
  void ShowStatus(const QString& text) override;

  bool Stopped() const { return stopped_; }
  // Clears the bar's line so that ordinary output starts on a clean line.
  void Clear();

 private:
  void Draw(bool force);

  uint8_t& busy_;
  const char* action_;
  QByteArray status_;  // the step of a long scan, shown after the action
  bool terminal_ = false;
  bool drawn_ = false;
  bool stopped_ = false;
  int width_ = 0;  // 0..500
  int32_t found_ = 0;
  int32_t categoryCounts_[7] = {};
  QElapsedTimer sinceDraw_;
};

}  // namespace undelvo
