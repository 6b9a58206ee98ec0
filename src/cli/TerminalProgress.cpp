#include "cli/TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QStringList>

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
  if (counting_ == Counting::None) counting_ = Counting::Found;
  found_ = 0;
  for (int c = 1; c <= 6; ++c) found_ += counters.CategoryCount[size_t(c)];
  Draw(false);
}

void TerminalProgress::ShowStopping() {
  stopping_ = true;
  Draw(true);
}

void TerminalProgress::ShowRestored(int32_t restored, int32_t failed) {
  counting_ = Counting::Restored;
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
  const QString percent = QStringLiteral("%1 %").arg(percent_, 3);
  // A count is shown once the run has told one: a recovery's line never
  // shows a scan's "found" before its first restored file.
  QString counts;
  if (counting_ == Counting::Restored)
    counts = QStringLiteral("%1 restored, %2 failed").arg(restored_).arg(failed_);
  else if (counting_ == Counting::Found)
    counts = QStringLiteral("%1 found").arg(found_);
  QString tail = QLatin1Char(' ') + percent;
  if (!counts.isEmpty()) tail += QStringLiteral("  ") + counts;
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
  if (line.size() <= room) return line;
  // Narrower still, whole pieces go, the least needed first: the action, the
  // percentage, the failed count. A count is never cut: "1250" cut reads "12".
  const QString stop = stopping_ ? QStringLiteral("(stopping)") : QString();
  const QString firstCount = counts.section(QLatin1Char(','), 0, 0);
  const auto joined = [](QStringList parts) {
    parts.removeAll(QString());
    return parts.join(QStringLiteral("  "));
  };
  for (const QString& shorter : {joined({percent.trimmed(), counts, stop}), joined({counts, stop}),
                                 joined({firstCount, stop}), stopping_ ? stop : firstCount, percent.trimmed()})
    if (!shorter.isEmpty() && shorter.size() <= room) return shorter;
  return {};
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace undelvo
