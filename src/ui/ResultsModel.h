#pragma once
#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <vector>

#include "found/DataItem.h"
#include "found/Recoverability.h"

namespace undelvo::ui {

// The rows of the results' file list: the view asks for a row's texts and
// icon when it draws it, so a list of tens of thousands of files costs only
// what is on screen. The model owns the rows (the entry values in ViewList,
// the shown texts in DataArray); icons are shared, one per extension.
class ResultsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { FileColumn, PathColumn, DateColumn, SizeColumn, StateColumn, ColumnCount };

  // What a row shows of its file's recoverability, and what it sorts by.
  struct RowState {
    Recoverability state;
    QString text;  // in the current language: "partial (40 %)"
  };

  explicit ResultsModel(QObject* parent = nullptr);

  // Replaces every row: the model is reset once. `states` runs parallel
  // to the rows (a row without one shows nothing in the state column).
  void SetRows(ResultsRows rows, std::vector<QIcon> icons, std::vector<RowState> states = {});
  void Clear();
  const ResultsRows& Rows() const { return rows_; }
  // The column captions (File, Path, Date, Size, State) in the current language.
  void SetCaptions(const QStringList& captions) { captions_ = captions; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Sorts the rows themselves (values and texts together), so the row the
  // user sees is the row that is previewed and restored.
  void sort(int column, Qt::SortOrder order) override;

 private:
  ResultsRows rows_;
  std::vector<int64_t> sizes_;  // each row's size in bytes, for sorting
  std::vector<RowState> states_;
  std::vector<QIcon> icons_;
  QStringList captions_;
};

}  // namespace undelvo::ui
