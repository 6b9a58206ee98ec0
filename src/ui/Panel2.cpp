#include "ui/Panel2.h"

#include <QAbstractItemView>

#include "found/FileTime.h"
#include "scan/DeepScanStepText.h"
#include "scan/ScanStatistics.h"
#include "ui/UiPump.h"

namespace undelvo::ui {

namespace {
// The type list's entries: "All files" first, then the types of TypeListMask 1..11.
const char* const kTypeKeys[12] = {"Type12", "Type1", "Type2", "Type3", "Type4",  "Type5",
                                   "Type6",  "Type7", "Type8", "Type9", "Type10", "Type11"};
}  // namespace

Panel2::Panel2(UiContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx), hover_(new HoverGroup(this)) {
  setObjectName(QStringLiteral("Panel2"));
  setFixedSize(800, 470);
  setAutoFillBackground(true);
  hover_->WatchBackground(this);
  // Stop goes back to its normal look from the background only while it is shown.
  hover_->SetResettable([this](const ImageButton* b) { return b != stop_ || ctx_.state.Run.Busy(); });

  MakeLabel(this, "Panel2ActionLabel", QRect(28, 14, 740, 26), ctx.Text("Drive", "AdvancedScan"), 20, true);
  MakeLabel(this, "Panel2HintLabel", QRect(28, 42, 740, 40), ctx.Text("Drive", "Hint2"))->setWordWrap(true);

  // Four choices in two columns: drive and mode, type mask and name.
  MakeLabel(this, "Panel2DriveLabel", QRect(28, 96, 330, 20), ctx.Text("Drive", "Message1"), 13, true);
  driveBox_ = new QComboBox(this);
  driveBox_->setObjectName(QStringLiteral("Panel2DriveBox"));
  driveBox_->setGeometry(28, 118, 330, 28);
  driveBox_->setAccessibleName(ctx.Text("Drive", "Message1"));

  MakeLabel(this, "Panel2ModeLabel", QRect(28, 160, 330, 20), ctx.Text("Drive", "SelectMode"), 13, true);
  modeBox_ = new QComboBox(this);
  modeBox_->setObjectName(QStringLiteral("Panel2ModeBox"));
  modeBox_->setGeometry(28, 182, 330, 28);
  modeBox_->addItems({ctx.Text("Drive", "Quick"), ctx.Text("Drive", "Deep")});
  modeBox_->setAccessibleName(ctx.Text("Drive", "SelectMode"));
  MakeLabel(this, "Panel2ModeHint", QRect(28, 212, 330, 54), ctx.Text("Drive", "ModeHint"), 12)->setWordWrap(true);

  MakeLabel(this, "Panel2MaskLabel", QRect(420, 96, 350, 20), ctx.Text("Drive", "SelectFileType"), 13, true);
  maskEdit_ = new QLineEdit(QStringLiteral("*.*"), this);
  maskEdit_->setObjectName(QStringLiteral("Panel2MaskEdit"));
  maskEdit_->setGeometry(420, 118, 330, 28);
  maskEdit_->setAccessibleName(ctx.Text("Drive", "SelectFileType"));
  maskBox_ = new QComboBox(this);
  maskBox_->setObjectName(QStringLiteral("Panel2MaskBox"));
  maskBox_->setGeometry(750, 118, 20, 28);
  for (const char* key : kTypeKeys) maskBox_->addItem(ctx.Text("File", key));
  maskBox_->view()->setMinimumWidth(150);
  maskBox_->setAccessibleName(ctx.Text("Drive", "SelectFileType"));
  connect(maskBox_, qOverload<int>(&QComboBox::activated), this, &Panel2::MaskBoxChanged);
  MakeLabel(this, "Panel2MaskHint", QRect(420, 148, 350, 20), ctx.Text("Drive", "FileTypeHint"), 12);

  MakeLabel(this, "Panel2NameLabel", QRect(420, 172, 350, 20), ctx.Text("Drive", "FileNameSearch"), 13, true);
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(QStringLiteral("Panel2Edit1"));
  nameEdit_->setGeometry(420, 194, 350, 28);
  nameEdit_->setAccessibleName(ctx.Text("Drive", "FileNameSearch"));

  // The run: status line, progress, two counters, Start and Stop.
  status_ = MakeLabel(this, "Panel2StatusLabel", QRect(144, 300, 500, 24), QString(), 14, true);
  bar_ = new ProgressBar(this);
  bar_->setObjectName(QStringLiteral("Panel2ProgressBar"));
  bar_->move(139, 331);
  progressLabel_ = MakeLabel(this, "Panel2ProgressLabel", QRect(660, 334, 90, 24), QString(), 16, true);
  bar_->SetLabel(progressLabel_);
  label1a_ = MakeLabel(this, "Panel2Label1a", QRect(144, 372, 200, 22), QString(), 13);
  label1b_ = MakeLabel(this, "Panel2Label1b", QRect(350, 372, 150, 22), QString(), 13, true);
  label2a_ = MakeLabel(this, "Panel2Label2a", QRect(144, 396, 200, 22), QString(), 13);
  label2b_ = MakeLabel(this, "Panel2Label2b", QRect(350, 396, 150, 22), QString(), 13, true);

  start_ = new ImageButton(ctx.Text("Buttons", "StartScan"), ButtonStyle::Green, this);
  start_->setObjectName(QStringLiteral("Panel2Button1"));
  start_->setGeometry(570, 250, 200, 40);
  // The caption is set larger in every language but English, a little less in Spanish.
  if (ctx.state.Program.Config.LangIndex != 1) {
    QFont f = start_->font();
    f.setPointSize(ctx.state.Program.Config.LangIndex == 4 ? 13 : 14);
    start_->setFont(f);
  }
  hover_->Add(start_);
  connect(start_, &QPushButton::clicked, this, &Panel2::StartScan);
  stop_ = new ImageButton(ctx.Text("Buttons", "Stop"), ButtonStyle::Grey, this);
  stop_->setObjectName(QStringLiteral("Panel2Button2"));
  stop_->setGeometry(610, 390, 160, 40);
  hover_->Add(stop_);
  connect(stop_, &QPushButton::clicked, this, &Panel2::Stop);
  stop_->hide();
}

void Panel2::Enter() {
  const ScanStatistics s = LoadScanStatistics(ctx_.state.Program.Registry);
  label1a_->setText(ctx_.Text("Statistic", "LastScanDate") + QLatin1Char(':'));
  label2a_->setText(ctx_.Text("Statistic", "ItemsFound") + QLatin1Char(':'));
  label1b_->setText(ShortDate(s.LastRun));
  label2b_->setText(QString::number(s.Found));
  status_->clear();
  bar_->hide();
  progressLabel_->hide();
  start_->setEnabled(true);
  stop_->hide();
}

AdvancedScanOptions Panel2::Options() const {
  AdvancedScanOptions o;
  o.deep = modeBox_->currentIndex() == 1;
  o.mask = maskEdit_->text();
  o.name = nameEdit_->text();
  return o;
}

void Panel2::MaskBoxChanged(int index) {
  const QString mask = TypeListMask(index);
  if (!mask.isEmpty()) maskEdit_->setText(mask);
}

void Panel2::StartScan() {
  UndelvoState& state = ctx_.state;
  if (state.Run.Busy()) return;
  if (maskEdit_->text().isEmpty()) maskEdit_->setText(QStringLiteral("*.*"));
  ScanRunResult result;
  {
    UiPump pump(state.Run, ctx_.pumpIntervalMs);
    result = AdvancedScanRun(state, *this, driveBox_->currentText(), Options());
    longestGapMs_ = pump.LongestGapMs();
  }
  switch (result.end) {
    case ScanRunEnd::AlreadyRunning: return;
    case ScanRunEnd::CheckFailed: ctx_.prompter.Inform(window(), result.message); return;
    case ScanRunEnd::FilesFound: emit filesFound(); return;
    case ScanRunEnd::NothingFound:
      ctx_.prompter.Inform(window(), result.message);
      bar_->hide();
      progressLabel_->hide();
      SetCounterLabelsVisible(false);
      return;
  }
}

void Panel2::Stop() { ctx_.AskToStop(window()); }

void Panel2::SetCounterLabelsVisible(bool visible) {
  for (QLabel* l : {label1a_, label1b_, label2a_, label2b_}) l->setVisible(visible);
}

void Panel2::ShowRunning(bool running) {
  for (QWidget* w : std::initializer_list<QWidget*>{driveBox_, modeBox_, maskEdit_, maskBox_, nameEdit_})
    w->setEnabled(!running);
  start_->setEnabled(!running);
  stop_->setVisible(running);
  if (running) {
    status_->show();
    bar_->show();
    progressLabel_->show();
    label1a_->setText(ctx_.Text("Process", "Scanned"));
    label2a_->setText(ctx_.Text("Process", "Found"));
    label1b_->setText(QStringLiteral("0"));
    label2b_->setText(QStringLiteral("0"));
    SetCounterLabelsVisible(true);
    stop_->setFocus();
  } else {
    status_->clear();
  }
  emit runningChanged(running);
}

void Panel2::ShowFound(const FoundCounters& counters) { label2b_->setText(QString::number(counters.FoundCount)); }

void Panel2::ShowScanned(int32_t count) { label1b_->setText(QString::number(count)); }

void Panel2::OnReset() { bar_->Reset(); }

void Panel2::OnPercent(int percent) {
  bar_->ShowPercent(percent);
  // The engines pass their counters every so many files; with each percent
  // the counters catch up, so a small volume's counts move too.
  ShowFound(ctx_.state.Scan.Found.Counters());
  ShowScanned(ctx_.state.Scan.Found.ScannedCount);
}

void Panel2::OnDone() { bar_->Done(); }

void Panel2::OnStep(int step) { status_->setText(DeepScanStepText(ctx_.Lang(), step)); }

}  // namespace undelvo::ui
