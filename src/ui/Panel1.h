#pragma once
#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <array>

#include "run/ProgressSink.h"
#include "ui/ImageButton.h"
#include "ui/PanelWidgets.h"
#include "ui/ProgressBar.h"
#include "ui/UiContext.h"

namespace undelvo::ui {

// The Quick Scan panel: pick a drive, Start Scan, watch the counters grow.
// Between scans it shows the statistics of the last one; during a scan it
// is the run's progress display.
class Panel1 : public QWidget, public ProgressSink {
  Q_OBJECT
 public:
  Panel1(UiContext& ctx, QWidget* parent);

  // The statistics box with the last scan's date, its files and the files recovered.
  void Enter();
  QComboBox* DriveBox() const { return driveBox_; }
  // The longest time the window could not react during the last scan.
  qint64 LongestGapMs() const { return longestGapMs_; }

  void ShowFound(const FoundCounters& counters) override;
  void ShowRunning(bool running) override;

 signals:
  void runningChanged(bool running);
  void filesFound();              // a scan ended with files: the results take over
  void advancedScanRequested();   // the statistics box's Advanced Scan button

 public slots:
  void StartScan();
  void Stop();

 protected:
  void OnReset() override;
  void OnPercent(int percent) override;
  void OnDone() override;

 private:
  UiContext& ctx_;
  HoverGroup* hover_;
  QComboBox* driveBox_;
  ImageButton* start_;
  QLabel* progressLabel_;
  HeaderBox* stats_;   // Panel1A
  QLabel* lastScan_;
  QLabel* itemsFound_;
  QLabel* itemsRecovered_;
  ImageButton* advanced_;
  HeaderBox* progressBox_;  // Panel1B
  QLabel* total_;
  std::array<QLabel*, 7> categories_{};  // [1..6]
  ProgressBar* bar_;
  ImageButton* stop_;
  qint64 longestGapMs_ = 0;
};

}  // namespace undelvo::ui
