#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "found/FoundRows.h"
#include "run/ProgressSink.h"
#include "ui/ImageButton.h"
#include "ui/ProgressBar.h"
#include "ui/ResultsModel.h"
#include "ui/UiContext.h"

namespace undelvo::ui {

class FileIcons;

// The results panel: the category list on the left, the file list of the
// category opened (or of a search) on the right, the search box, Select all
// and Deselect all, the selection line, and Preview, Recover and Cancel.
// During a recovery it is the run's progress display.
class Panel4 : public QWidget, public ProgressSink {
  Q_OBJECT
 public:
  Panel4(UiContext& ctx, QWidget* parent);
  ~Panel4() override;

  // Builds the category list from the last scan's store; the file list stays empty.
  void Enter();
  // Opens a category entry: its files (at most 1000) in the file list.
  void OpenCategory(int group, int position);
  // The search of the results: every section and the Other files.
  void Find();
  void SelectAll();
  void DeselectAll();
  void Preview();
  void Recover();
  // Asks before the results are left; true when they may be (then they are emptied).
  bool Leave();

  ResultsModel* Model() const { return model_; }
  QTableView* FileList() const { return fileList_; }
  QTreeWidget* CategoryList() const { return categories_; }
  // How the save folder is opened after a recovery (the desktop's file manager by default).
  void SetFolderOpener(std::function<void(const QUrl&)> open) { openFolder_ = std::move(open); }
  qint64 LongestGapMs() const { return longestGapMs_; }

 signals:
  void runningChanged(bool running);

 protected:
  void OnReset() override;
  void OnPercent(int percent) override;

 private:
  void FillRows(const std::vector<FoundRow>& rows);
  void UpdateSelectionLine(int selected);
  void SetRecovering(bool on);
  std::vector<bool> SelectedRows() const;

  UiContext& ctx_;
  HoverGroup* hover_;
  QLabel* totalCaption_;
  QLabel* total_;
  QLabel* findLabel_;
  QLineEdit* findEdit_;
  ImageButton* findButton_;
  TextButton* selectAll_;
  TextButton* deselectAll_;
  QTreeWidget* categories_;
  ResultsModel* model_;
  QTableView* fileList_;
  QLabel* hint_;
  ProgressBar* bar_;
  QLabel* progressLabel_;
  ImageButton* preview_;
  ImageButton* recover_;
  ImageButton* cancel_;
  std::unique_ptr<FileIcons> icons_;
  std::function<void(const QUrl&)> openFolder_;
  qint64 longestGapMs_ = 0;
};

}  // namespace undelvo::ui
