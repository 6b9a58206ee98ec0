#include "ui/ResultsModel.h"

#include <algorithm>
#include <numeric>

#include "found/EntryValue.h"

namespace undelvo::ui {

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::SetRows(ResultsRows rows, std::vector<QIcon> icons, std::vector<RowState> states) {
  beginResetModel();
  rows_ = std::move(rows);
  icons_ = std::move(icons);
  states_ = std::move(states);
  states_.resize(rows_.DataArray.size());
  sizes_.clear();
  sizes_.reserve(rows_.DataArray.size());
  for (qsizetype i = 0; i < qsizetype(rows_.DataArray.size()); ++i)
    sizes_.push_back(i < rows_.ViewList.size() ? ParseEntryValue(rows_.ViewList[i]).size : 0);
  endResetModel();
}

void ResultsModel::Clear() { SetRows({}, {}); }

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.DataArray.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.DataArray.size())) return {};
  const TDataItem& row = rows_.DataArray[size_t(index.row())];
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    switch (index.column()) {
      case FileColumn: return row.Str1;
      case PathColumn: return row.Str2;
      case DateColumn: return row.Str3;
      case SizeColumn: return row.Str4;
      case StateColumn: return states_[size_t(index.row())].text;
      default: return {};
    }
  }
  if (role == Qt::DecorationRole && index.column() == FileColumn && row.IconNumber >= 0 &&
      size_t(row.IconNumber) < icons_.size())
    return icons_[size_t(row.IconNumber)];
  if (role == Qt::TextAlignmentRole && index.column() == DateColumn) return int(Qt::AlignCenter);
  if (role == Qt::TextAlignmentRole && index.column() == SizeColumn) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= captions_.size()) return {};
  return captions_[section];
}

void ResultsModel::sort(int column, Qt::SortOrder order) {
  const size_t n = rows_.DataArray.size();
  std::vector<size_t> by(n);
  std::iota(by.begin(), by.end(), size_t(0));
  auto text = [&](size_t i) -> const QString& {
    const TDataItem& r = rows_.DataArray[i];
    return column == PathColumn ? r.Str2 : column == DateColumn ? r.Str3 : r.Str1;
  };
  // The state sorts by the share of intact clusters, unknown below overwritten.
  auto intact = [&](size_t i) { return states_[i].state.intactPercent; };
  std::stable_sort(by.begin(), by.end(), [&](size_t a, size_t b) {
    if (column == SizeColumn) return order == Qt::AscendingOrder ? sizes_[a] < sizes_[b] : sizes_[a] > sizes_[b];
    if (column == StateColumn) return order == Qt::AscendingOrder ? intact(a) < intact(b) : intact(a) > intact(b);
    const int c = QString::localeAwareCompare(text(a), text(b));
    return order == Qt::AscendingOrder ? c < 0 : c > 0;
  });
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // The selection follows its rows to their new places.
  std::vector<int> newRow(n);
  for (size_t i = 0; i < n; ++i) newRow[by[i]] = int(i);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& i : before) after.append(index(newRow[size_t(i.row())], i.column()));
  changePersistentIndexList(before, after);
  ResultsRows sorted;
  std::vector<int64_t> sizes;
  std::vector<RowState> states;
  sorted.DataArray.reserve(n);
  sizes.reserve(n);
  states.reserve(n);
  for (size_t i : by) {
    sorted.DataArray.push_back(rows_.DataArray[i]);
    sorted.ViewList.append(rows_.ViewList.value(qsizetype(i)));
    sizes.push_back(sizes_[i]);
    states.push_back(std::move(states_[i]));
  }
  sorted.CountList = rows_.CountList;
  rows_ = std::move(sorted);
  sizes_ = std::move(sizes);
  states_ = std::move(states);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace undelvo::ui
