#include "cli/TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "scan/DeepScanStepText.h"

namespace undelvo {

namespace {
constexpr int kBarCells = 30;
constexpr qint64 kRedrawMs = 100;
}  // namespace

int TerminalColumns(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

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

void TerminalProgress::ShowRestored(int32_t restored, int32_t failed) {
  restoring_ = true;
  restored_ = restored;
  failed_ = failed;
  Draw(false);
}

void TerminalProgress::Draw(bool force) {
  if (!terminal_) return;
  if (!force && sinceDraw_.elapsed() < kRedrawMs) return;
  sinceDraw_.restart();
  const QString line = ProgressLine(TerminalColumns(STDERR_FILENO));
  std::fprintf(stderr, "\r%s\033[K", line.toUtf8().constData());
  std::fflush(stderr);
  drawn_ = true;
}

QString TerminalProgress::ProgressLine(int columns) const {
  QString head = QString::fromLatin1(action_);
  if (!status_.isEmpty()) head += QStringLiteral(": ") + QString::fromUtf8(status_);
  QString tail = QStringLiteral(" %1 %").arg(percent_, 3);
  tail += restoring_ ? QStringLiteral("  %1 restored, %2 failed").arg(restored_).arg(failed_)
                     : QStringLiteral("  %1 found").arg(found_);
  if (stopping_) tail += QStringLiteral("  (stopping)");
  // The line must stay shorter than the terminal: a line that wraps leaves a
  // trail of copies, since "\r" returns to the start of the last row only.
  const int room = std::max(columns - 1, 1);
  int cells = std::min(kBarCells, room - int(head.size() + tail.size()) - 3);
  if (cells < 5) {  // too narrow for the step text and a useful bar
    head = QString::fromLatin1(action_);
    cells = std::min(kBarCells, room - int(head.size() + tail.size()) - 3);
  }
  QString line = head;
  if (cells >= 5) {
    const int filled = percent_ * cells / 100;
    line += QStringLiteral(" [") + QString(filled, QLatin1Char('#')) + QString(cells - filled, QLatin1Char('.')) +
            QLatin1Char(']');
  }
  line += tail;
  return line.left(room);
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace undelvo
