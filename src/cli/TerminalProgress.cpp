#include "cli/TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

#include "scan/DeepScanStepText.h"

namespace undelvo {

namespace {
constexpr int kBarCells = 30;
constexpr qint64 kRedrawMs = 100;
}  // namespace

TerminalProgress::TerminalProgress(const LanguageFile& lang, const char* action)
    : lang_(lang), action_(action), terminal_(::isatty(STDERR_FILENO) == 1) {
  sinceDraw_.start();
}

TerminalProgress::~TerminalProgress() { Clear(); }

void TerminalProgress::OnReset() {
  percent_ = 0;
  Draw(true);
}

void TerminalProgress::OnPercent(int percent) {
  percent_ = percent;
  Draw(false);
}

void TerminalProgress::OnDone() {
  percent_ = 100;
  Draw(true);
}

void TerminalProgress::OnStep(int step) {
  if (!status_.isEmpty()) Clear();  // a shorter step text must not leave the end of the last one
  status_ = DeepScanStepText(lang_, step).toUtf8();
  Draw(true);
}

void TerminalProgress::ShowFound(const FoundCounters& counters) {
  found_ = 0;
  for (int c = 1; c <= 6; ++c) found_ += counters.CategoryCount[size_t(c)];
  Draw(false);
}

void TerminalProgress::ShowStopping() {
  stopping_ = true;
  Draw(true);
}

void TerminalProgress::Draw(bool force) {
  if (!terminal_) return;
  if (!force && sinceDraw_.elapsed() < kRedrawMs) return;
  sinceDraw_.restart();
  char bar[kBarCells + 1];
  const int filled = percent_ * kBarCells / 100;
  for (int i = 0; i < kBarCells; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarCells] = '\0';
  std::fprintf(stderr, "\r%s%s%s [%s] %3d %%  %d found%s", action_, status_.isEmpty() ? "" : ": ",
               status_.constData(), bar, percent_, int(found_), stopping_ ? "  (stopping)" : "");
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace undelvo
