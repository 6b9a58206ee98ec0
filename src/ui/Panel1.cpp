#include "ui/Panel1.h"

#include "scan/QuickScanRun.h"
#include "scan/ScanStatistics.h"
#include "found/FileTime.h"
#include "ui/UiPump.h"

namespace undelvo::ui {

namespace {
const char* const kCategoryKeys[7] = {nullptr, "Type13", "Type14", "Type15", "Type16", "Type17", "Type18"};
}

Panel1::Panel1(UiContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx), hover_(new HoverGroup(this)) {
  setObjectName(QStringLiteral("Panel1"));
  setFixedSize(800, 470);
  setAutoFillBackground(true);
  hover_->WatchBackground(this);

  MakeLabel(this, "Panel1ActionLabel", QRect(28, 14, 740, 26), ctx.Text("Drive", "Message1"), 20, true);
  MakeLabel(this, "Panel1HintLabel", QRect(28, 42, 740, 40), ctx.Text("Drive", "Hint1a"))->setWordWrap(true);
  driveBox_ = new QComboBox(this);
  driveBox_->setObjectName(QStringLiteral("Panel1DriveBox"));
  driveBox_->setGeometry(28, 86, 300, 30);
  driveBox_->setAccessibleName(ctx.Text("Drive", "Message1"));
  start_ = new ImageButton(ctx.Text("Buttons", "StartScan"), ButtonStyle::Green, this);
  start_->setObjectName(QStringLiteral("Panel1Button1"));
  start_->setGeometry(350, 81, 200, 40);
  hover_->Add(start_);
  connect(start_, &QPushButton::clicked, this, &Panel1::StartScan);

  // The statistics box, shown between scans.
  stats_ = new HeaderBox(this, "Panel1A", QRect(5, 150, 791, 245), ctx.Text("Options", "ComputerStatus"));
  auto* statsHover = new HoverGroup(stats_);
  statsHover->WatchBackground(stats_);
  const struct {
    const char* name;
    const char* key;
    QLabel** value;
    const char* valueName;
  } rows[] = {
      {"Panel1ALabel2a", "LastScanDate", &lastScan_, "Panel1ALabel2b"},
      {"Panel1ALabel3a", "ItemsFound", &itemsFound_, "Panel1ALabel3b"},
      {"Panel1ALabel4a", "ItemsRecovered", &itemsRecovered_, "Panel1ALabel4b"},
  };
  int y = 48;
  for (const auto& row : rows) {
    MakeLabel(stats_, row.name, QRect(24, y, 220, 22), ctx.Text("Statistic", row.key) + QLatin1Char(':'), 14);
    *row.value = MakeLabel(stats_, row.valueName, QRect(250, y, 250, 22), QString(), 14, true);
    y += 30;
  }
  MakeLabel(stats_, "Panel1AHintLabel", QRect(24, 150, 470, 60), ctx.Text("Drive", "Hint1b"))->setWordWrap(true);
  advanced_ = new ImageButton(ctx.Text("Drive", "AdvancedScan"), ButtonStyle::Green, stats_);
  advanced_->setObjectName(QStringLiteral("Panel1AButton1"));
  advanced_->setGeometry(560, 160, 200, 40);
  statsHover->Add(advanced_);
  connect(advanced_, &QPushButton::clicked, this, &Panel1::advancedScanRequested);

  // The progress box, shown during and after a scan.
  progressBox_ = new HeaderBox(this, "Panel1B", QRect(5, 150, 791, 245), ctx.Text("Drive", "Searching"));
  auto* progressHover = new HoverGroup(progressBox_);
  progressHover->WatchBackground(progressBox_);
  bar_ = new ProgressBar(progressBox_);
  bar_->setObjectName(QStringLiteral("Panel1BProgressBar"));
  bar_->move(152, 45);
  progressLabel_ = MakeLabel(progressBox_, "Panel1ProgressLabel", QRect(672, 48, 100, 26), QString(), 16, true);
  progressLabel_->hide();
  bar_->SetLabel(progressLabel_);
  MakeLabel(progressBox_, "Panel1BLabel1a", QRect(24, 90, 220, 22), ctx.Text("File", "FilesFound") + QLatin1Char(':'),
            14, true);
  total_ = MakeLabel(progressBox_, "Panel1BLabel1b", QRect(250, 90, 120, 22), QStringLiteral("0"), 14, true);
  for (int c = 1; c <= 6; ++c) {
    const int column = (c - 1) / 3, line = (c - 1) % 3;
    const QRect caption(24 + column * 300, 124 + line * 26, 210, 22);
    MakeLabel(progressBox_, QStringLiteral("Panel1BLabel%1a").arg(c + 1).toLatin1().constData(), caption,
              ctx.Text("File", kCategoryKeys[c]) + QLatin1Char(':'));
    categories_[size_t(c)] =
        MakeLabel(progressBox_, QStringLiteral("Panel1BLabel%1b").arg(c + 1).toLatin1().constData(),
                  caption.translated(215, 0).adjusted(0, 0, -140, 0), QStringLiteral("0"), 13, true);
  }
  stop_ = new ImageButton(ctx.Text("Buttons", "Stop"), ButtonStyle::Grey, progressBox_);
  stop_->setObjectName(QStringLiteral("Panel1BButton1"));
  stop_->setGeometry(600, 180, 160, 40);
  progressHover->Add(stop_);
  connect(stop_, &QPushButton::clicked, this, &Panel1::Stop);
  progressBox_->hide();
}

void Panel1::Enter() {
  const ScanStatistics s = LoadScanStatistics(ctx_.state.Program.Registry);
  lastScan_->setText(ShortDate(s.LastRun));
  itemsFound_->setText(QString::number(s.Found));
  itemsRecovered_->setText(QString::number(s.Recovered));
  stats_->show();
  progressBox_->hide();
}

void Panel1::StartScan() {
  UndelvoState& state = ctx_.state;
  if (state.Run.Busy()) return;
  ScanRunResult result;
  {
    UiPump pump(state.Run, ctx_.pumpIntervalMs);
    result = QuickScanRun(state, *this, driveBox_->currentText());
    longestGapMs_ = pump.LongestGapMs();
  }
  switch (result.end) {
    case ScanRunEnd::AlreadyRunning: return;
    case ScanRunEnd::CheckFailed: ctx_.prompter.Inform(window(), result.message); return;
    case ScanRunEnd::FilesFound: emit filesFound(); return;
    case ScanRunEnd::NothingFound:
      ctx_.prompter.Inform(window(), result.message);
      Enter();
      return;
  }
}

void Panel1::Stop() { ctx_.AskToStop(window()); }

void Panel1::ShowRunning(bool running) {
  driveBox_->setEnabled(!running);
  start_->setEnabled(!running);
  stop_->setEnabled(running);
  if (running) {
    stats_->hide();
    progressBox_->show();
    progressLabel_->show();
    stop_->setFocus();
  }
  emit runningChanged(running);
}

void Panel1::ShowFound(const FoundCounters& counters) {
  int32_t total = 0;
  for (int c = 1; c <= 6; ++c) {
    categories_[size_t(c)]->setText(QString::number(counters.CategoryCount[size_t(c)]));
    total += counters.CategoryCount[size_t(c)];
  }
  total_->setText(QString::number(total));
}

void Panel1::OnReset() { bar_->Reset(); }

void Panel1::OnPercent(int percent) {
  bar_->ShowPercent(percent);
  // The engines pass their counters every so many files; with each percent
  // the counters catch up, so a small volume's counts move too.
  ShowFound(ctx_.state.Scan.Found.Counters());
}

void Panel1::OnDone() { bar_->Done(); }

}  // namespace undelvo::ui
