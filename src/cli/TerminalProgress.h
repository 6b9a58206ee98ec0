#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <cstdint>

#include "run/ProgressSink.h"
#include "settings/LanguageFile.h"

namespace undelvo {

// The command line's progress display: a one-line bar with the percentage
// and the count of files found, redrawn on stderr at most ten times a second
// when stderr is a terminal.
class TerminalProgress : public ProgressSink {
 public:
  TerminalProgress(const LanguageFile& lang, const char* action);
  ~TerminalProgress() override;

  void ShowFound(const FoundCounters& counters) override;
  // Marks the line as stopping (after a Ctrl-C).
  void ShowStopping();
  // Clears the bar's line so that ordinary output starts on a clean line.
  void Clear();

 protected:
  void OnReset() override;
  void OnPercent(int percent) override;
  void OnDone() override;
  void OnStep(int step) override;

 private:
  void Draw(bool force);

  const LanguageFile& lang_;
  const char* action_;
  QByteArray status_;  // the step of a long scan, shown after the action
  bool terminal_ = false;
  bool drawn_ = false;
  bool stopping_ = false;
  int percent_ = 0;
  int32_t found_ = 0;
  QElapsedTimer sinceDraw_;
};

}  // namespace undelvo
