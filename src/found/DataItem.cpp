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

namespace {

// Where the name of an OtherFiles line ends: at the first "=" that is followed
// by a locator (decimal digits or "R") and "#". Names may hold "=" and "#";
// locators hold neither, so a name such as "a=b.txt" stays whole.
qsizetype NameEnd(const QString& line) {
  for (qsizetype eq = line.indexOf(QLatin1Char('=')); eq >= 0; eq = line.indexOf(QLatin1Char('='), eq + 1)) {
    qsizetype i = eq + 1;
    if (i < line.size() && line[i] == QLatin1Char('R')) {
      ++i;
    } else {
      while (i < line.size() && line[i].isDigit() && line[i].unicode() < 128) ++i;
      if (i == eq + 1) continue;
    }
    if (i < line.size() && line[i] == QLatin1Char('#')) return eq;
  }
  return line.indexOf(QLatin1Char('='));
}

}  // namespace

QString OtherFilesName(const QString& line) {
  const qsizetype eq = NameEnd(line);
  return eq < 0 ? line : line.left(eq);
}

QString OtherFilesValue(const QString& line) {
  const qsizetype eq = NameEnd(line);
  return eq < 0 ? QString() : line.mid(eq + 1);
}

}  // namespace undelvo
