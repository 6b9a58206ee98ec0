#pragma once
#include <QLabel>
#include <QWidget>

namespace undelvo::ui {

// The progress picture of a long task: a 500-pixel track in which a green bar
// grows 5 pixels per percent, inside a 1-pixel grey frame. Screen readers
// read it as a progress bar with its percentage.
class ProgressBar : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressBar(QWidget* parent = nullptr);
  void SetPercent(int percent);
  // The label that shows the percentage beside the bar: "N %", empty at
  // the start of a task, "100%" at its end.
  void SetLabel(QLabel* label) { label_ = label; }
  void Reset();
  void ShowPercent(int percent);
  void Done();
  int Percent() const { return percent_; }
  // The bar's width in pixels (0..500).
  int BarWidth() const { return percent_ * 5; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  QLabel* label_ = nullptr;
};

}  // namespace undelvo::ui
