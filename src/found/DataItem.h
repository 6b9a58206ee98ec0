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

// The two parts of an OtherFiles line "name=entry value". The name ends at the
// first "=" that a locator and "#" follow, so names holding "=" stay whole.
QString OtherFilesName(const QString& line);
QString OtherFilesValue(const QString& line);

}  // namespace undelvo
