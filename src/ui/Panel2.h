#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "run/ProgressSink.h"
#include "scan/AdvancedScanRun.h"
#include "ui/ImageButton.h"
#include "ui/PanelWidgets.h"
#include "ui/ProgressBar.h"
#include "ui/UiContext.h"

namespace undelvo::ui {

// The Advanced Scan panel: the drive, quick or deep mode, a file-type mask
// (typed, or picked from the type list) and a file-name search. During a
// scan it is the run's progress display, with the deep scans' steps on its
// status line.
class Panel2 : public QWidget, public ProgressSink {
  Q_OBJECT
 public:
  Panel2(UiContext& ctx, QWidget* parent);

  void Enter();
  QComboBox* DriveBox() const { return driveBox_; }
  // What a Start Scan would run with now.
  AdvancedScanOptions Options() const;
  qint64 LongestGapMs() const { return longestGapMs_; }

  void ShowFound(const FoundCounters& counters) override;
  void ShowScanned(int32_t count) override;
  void ShowRunning(bool running) override;

 signals:
  void runningChanged(bool running);
  void filesFound();

 public slots:
  void StartScan();
  void Stop();
  void MaskBoxChanged(int index);

 protected:
  void OnReset() override;
  void OnPercent(int percent) override;
  void OnDone() override;
  void OnStep(int step) override;

 private:
  void SetCounterLabelsVisible(bool visible);

  UiContext& ctx_;
  HoverGroup* hover_;
  QComboBox* driveBox_;
  QComboBox* modeBox_;
  QLineEdit* maskEdit_;
  QComboBox* maskBox_;
  QLineEdit* nameEdit_;
  QLabel* status_;
  ProgressBar* bar_;
  QLabel* progressLabel_;
  QLabel* label1a_;
  QLabel* label1b_;
  QLabel* label2a_;
  QLabel* label2b_;
  ImageButton* start_;
  ImageButton* stop_;
  qint64 longestGapMs_ = 0;
};

}  // namespace undelvo::ui
