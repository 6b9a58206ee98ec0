#pragma once
#include <QByteArray>
#include <QString>
#include <QElapsedTimer>
#include <cstdint>

#include "run/ProgressSink.h"
#include "settings/LanguageFile.h"

namespace undelvo {

// The width of the terminal on `fd`; 80 when it tells none.
int TerminalColumns(int fd);

// The command line's progress display: a one-line bar with the percentage
// and the count of files found (or, in a recovery, restored and failed),
// redrawn on stderr at most ten times a second when stderr is a terminal.
class TerminalProgress : public ProgressSink {
 public:
  TerminalProgress(const LanguageFile& lang, const char* action);
  ~TerminalProgress() override;

  void ShowFound(const FoundCounters& counters) override;
  void ShowRestored(int32_t restored, int32_t failed) override;
  // The line as drawn on a terminal `columns` wide: never as wide as the
  // terminal, the bar narrowed or left out (and the step text with it) to fit;
  // narrower still, the action, the percentage, then the failed count go
  // (a stopping run keeps its "(stopping)"), but no count is ever cut.
  QString ProgressLine(int columns) const;
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
  // Which count the line shows: none before the run tells one; a recovery's
  // restored and failed counts in place of the found files.
  enum class Counting { None, Found, Restored } counting_ = Counting::None;
  int32_t restored_ = 0;
  int32_t failed_ = 0;
  QElapsedTimer sinceDraw_;
};

}  // namespace undelvo
