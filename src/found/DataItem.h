#pragma once
#include <QString>
#include <cstdint>

#include <QStringList>
#include <vector>

namespace undelvo {

// One row of the results list.
struct TDataItem {
  QString Str1;  // file name
  QString Str2;  // path
  QString Str3;  // date
  QString Str4;  // size in kilobytes, " kb"
  int32_t IconNumber = 0;
};

// The rows the results view shows, owned by the view: the entry value of each
// row (never with a name and "=" in front) and what the row shows, in
// parallel, and the scratch list for counting a section's keys.
struct ResultsRows {
  QStringList ViewList;
  std::vector<TDataItem> DataArray;
  QStringList CountList;
};

// Texts of a row are cut to this many characters.
constexpr qsizetype kRowTextLimit = 255;

// A byte count as the results list shows it: kilobytes rounded to the nearest
// whole number, halves to the even neighbour, then " kb".
QString SizeInKb(int64_t bytes);

// The row for a file name and its entry value.
TDataItem MakeDataItem(const QString& name, const QString& entryValue);

// The two parts of an OtherFiles line "name=entry value". The name ends at the
// first "=" that a locator and "#" follow, so names holding "=" stay whole.
QString OtherFilesName(const QString& line);
QString OtherFilesValue(const QString& line);

}  // namespace undelvo
