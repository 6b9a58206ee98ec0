#pragma once
#include <QString>
#include <cstdint>

#include "found/FoundState.h"

namespace undelvo {

// Texts of a row are cut to this many characters.
constexpr qsizetype kRowTextLimit = 255;

// A byte count as the results list shows it: kilobytes rounded to the nearest
// whole number, halves to the even neighbour, then " kb".
QString SizeInKb(int64_t bytes);

// The row for a file name and its entry value.
TDataItem MakeDataItem(const QString& name, const QString& entryValue);

// The name part of an OtherFiles line: the text before its first "=".
QString OtherFilesName(const QString& line);
// The entry value part of an OtherFiles line: the text after its first "=".
QString OtherFilesValue(const QString& line);

}  // namespace undelvo
