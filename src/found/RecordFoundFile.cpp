#include "found/RecordFoundFile.h"

#include "found/ClassifyFile.h"

namespace undelvo {

namespace {

QString NumberedName(const QString& name, int n, FoundFileWriter writer) {
  const QString suffix = QLatin1Char('(') + QString::number(n) + QLatin1Char(')');
  if (writer == FoundFileWriter::Fat) return name + suffix;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return name + suffix;
  return name.left(dot) + suffix + name.mid(dot);
}

}  // namespace

QString UniqueKey(FoundFiles& found, const QString& section, const QString& name,
                  FoundFileWriter writer, const std::function<void()>& pump) {
  if (writer == FoundFileWriter::RecycleBin || !found.KeyExists(section, name)) return name;
  // Many deleted files share a name (one per folder); resuming at the last
  // number taken keeps this linear instead of quadratic in their count.
  const QString tag = QString::number(int(writer)) + QLatin1Char('/') + section.toCaseFolded() +
                      QLatin1Char('/') + name.toCaseFolded();
  int n = found.NumberHint(tag);
  QString candidate = NumberedName(name, n, writer);
  while (found.KeyExists(section, candidate)) {
    if (pump) pump();
    candidate = NumberedName(name, ++n, writer);
  }
  found.SetNumberHint(tag, n);
  return candidate;
}

int RecordFoundFile(FoundState& state, FoundFileWriter writer, const QString& name,
                    const QString& entryValue, const std::function<void()>& pump) {
  ++state.FoundCount;
  int category = CategoryOther;
  const QString typeCode = ClassifyFile(name, category);
  state.FileCategory = category;
  ++state.CategoryCount[size_t(category)];
  if (writer == FoundFileWriter::RecycleBin) {
    state.FoundFiles.Write(typeCode, name, entryValue);
  } else if (category == CategoryOther) {
    state.OtherFiles.append(name + QLatin1Char('=') + entryValue);
  } else {
    state.FoundFiles.Write(typeCode, UniqueKey(state.FoundFiles, typeCode, name, writer, pump), entryValue);
  }
  return category;
}

}  // namespace undelvo
