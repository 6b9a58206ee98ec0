#pragma once
#include <QLabel>
#include <QStackedWidget>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>

#include "platform/DriveTable.h"
#include "ui/DeviceMonitor.h"
#include "ui/ImageButton.h"
#include "ui/Panel1.h"
#include "ui/Panel2.h"
#include "ui/Panel4.h"
#include "ui/UiContext.h"

namespace undelvo::ui {

class Panel3;

// The main window: a frameless 860 x 632 window with its painted frame, the
// product name, three top buttons (help, minimise, close), three tabs over
// the four panels (quick scan, advanced scan, about, results) and the Back
// link. It refuses to close while a run goes on, and keeps its drive lists
// in step with the machine's devices while none does.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  TForm1(UiContext& ctx, DriveTableOptions drives, QWidget* parent = nullptr);
  ~TForm1() override;

  // Rebuilds both drive lists from the machine's devices and the images
  // (nothing while a run goes on).
  void ShowForm();
  // A device came or went.
  void DeviceChange();
  // Adds images (from a second start) to the drive lists, unless a run goes on.
  void AddImages(const QStringList& images);
  // Back from being minimised, in front.
  void Restore();

  Panel1* QuickPanel() const { return panel1_; }
  Panel2* AdvancedPanel() const { return panel2_; }
  Panel3* AboutPanel() const { return panel3_; }
  Panel4* ResultsPanel() const { return panel4_; }
  QWidget* CurrentPanel() const { return panels_->currentWidget(); }
  // The scan tab last opened: 1 quick, 2 advanced.
  int ScanTab() const { return scanTab_; }
  // How the help page is opened (the desktop's browser by default).
  void SetUrlOpener(std::function<bool(const QUrl&)> open) { openUrl_ = std::move(open); }

 public slots:
  void TabClick(int tab);
  void Help();
  void BackClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void DrawTabs(int tab);
  void RunningChanged(bool running);
  void ShowResults(int fromTab);

  UiContext& ctx_;
  DriveTableOptions driveOptions_;
  std::array<TextButton*, 4> tabs_{};  // [1..3]
  TextButton* help_;
  TextButton* minimise_;
  TextButton* close_;
  TextButton* back_;
  QStackedWidget* panels_;
  Panel1* panel1_;
  Panel2* panel2_;
  Panel3* panel3_;
  Panel4* panel4_;
  DeviceMonitor* devices_;
  int scanTab_ = 1;
  std::function<bool(const QUrl&)> openUrl_;
};

}  // namespace undelvo::ui
