#include "cli/TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

#include "cli/StopSignal.h"

namespace undelvo {

namespace {
constexpr int kBarCells = 30;
constexpr qint64 kRedrawMs = 100;
}  // namespace

TerminalProgress::TerminalProgress(uint8_t& busy, const char* action)
    : busy_(busy), action_(action), terminal_(::isatty(STDERR_FILENO) == 1) {
  sinceDraw_.start();
}

TerminalProgress::~TerminalProgress() { Clear(); }

void TerminalProgress::Pump() {
  if (StopRequested() && busy_) {
    busy_ = 0;
    stopped_ = true;
  }
}

void TerminalProgress::ShowPercent(int) { Draw(false); }

void TerminalProgress::ShowBar(int width) {
  const bool grew = width != width_;
  width_ = width;
  Draw(grew && (width == 0 || width == 500));
}

void TerminalProgress::ShowFound(const FoundState& found) {
  found_ = found.TotalOfCategories();
  for (int c = 1; c <= 6; ++c) categoryCounts_[c] = found.CategoryCount[size_t(c)];
  Draw(false);
}

void TerminalProgress::ShowCategoryCount(int category, int32_t count) {
  if (category < 1 || category > 6) return;
  found_ += count - categoryCounts_[category];
  categoryCounts_[category] = count;
  Draw(false);
}

void TerminalProgress::ShowProgressText(const QString&) { Draw(true); }

void TerminalProgress::ShowStatus(const QString& text) {
  if (!status_.isEmpty()) Clear();  // a shorter step text must not leave the end of the last one
  status_ = text.toUtf8();
  Draw(true);
}

void TerminalProgress::Draw(bool force) {
  if (!terminal_) return;
  if (!force && sinceDraw_.elapsed() < kRedrawMs) return;
  sinceDraw_.restart();
  const int percent = width_ / 5;
  char bar[kBarCells + 1];
  const int filled = percent * kBarCells / 100;
  for (int i = 0; i < kBarCells; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarCells] = '\0';
  std::fprintf(stderr, "\r%s%s%s [%s] %3d %%  %d found%s", action_, status_.isEmpty() ? "" : ": ",
               status_.constData(), bar, percent, int(found_), stopped_ ? "  (stopping)" : "");
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
