#include "found/DataItem.h"

#include "found/EntryValue.h"

namespace undelvo {

QString SizeInKb(int64_t bytes) {
  if (bytes < 0) bytes = 0;
  int64_t kb = bytes / 1024;
  const int64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && (kb % 2) == 1)) ++kb;
  return QString::number(kb) + QStringLiteral(" kb");
}

TDataItem MakeDataItem(const QString& name, const QString& entryValue) {
  const EntryValue e = ParseEntryValue(entryValue);
  TDataItem row;
  row.Str1 = name.left(kRowTextLimit);
  row.Str2 = e.path.left(kRowTextLimit);
  row.Str3 = e.date.left(kRowTextLimit);
  row.Str4 = SizeInKb(e.size);
  return row;
}

QString OtherFilesName(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  return eq < 0 ? line : line.left(eq);
}

QString OtherFilesValue(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  return eq < 0 ? QString() : line.mid(eq + 1);
}

}  // namespace undelvo
