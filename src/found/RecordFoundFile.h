#pragma once
#include <QString>
#include <functional>

#include "found/FoundState.h"

namespace undelvo {

// Who records a file decides how a name that is already taken is renamed.
enum class FoundFileWriter {
  Ntfs,        // REPORT.DOC, REPORT(1).DOC, REPORT(2).DOC ... without bound (quick and deep scan)
  Fat,         // REPORT.DOC, REPORT.DOC(1), REPORT.DOC(2) ... without bound
  RecycleBin,  // no renaming: a later file replaces the earlier one
};

// The key under which `name` is written in `section`: the name itself when
// free, else the writer's renamed form. `pump` runs between candidates.
QString UniqueKey(FoundFiles& found, const QString& section, const QString& name,
                  FoundFileWriter writer, const std::function<void()>& pump = {});

// Records one found file: counts it, classifies it, and writes it to the
// store (categories 1..5, and every Recycle Bin file) or to OtherFiles
// (category 6 of the engines). Returns the file's category.
int RecordFoundFile(FoundState& state, FoundFileWriter writer, const QString& name,
                    const QString& entryValue, const std::function<void()>& pump = {});

}  // namespace undelvo
