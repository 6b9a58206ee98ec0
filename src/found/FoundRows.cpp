#include "found/FoundRows.h"

#include "found/DataItem.h"
#include "found/NameMask.h"

namespace undelvo {

namespace {

const QString kOtherSection = QStringLiteral("OTHER");

// Calls visit(row) for every section key, then for every OtherFiles line
// (with the line itself), in the order the results view lists them.
template <typename Visit, typename VisitLine>
void ForEachRow(const FoundState& found, Visit visit, VisitLine visitLine) {
  found.FoundFiles.ForEachEntry(
      [&](const QString& section, const QString& key, const QString& value) { visit(FoundRow{key, section, value}); });
  for (const QString& line : found.OtherFiles)
    visitLine(line, FoundRow{OtherFilesName(line), kOtherSection, OtherFilesValue(line)});
}

}  // namespace

std::vector<FoundRow> AllFoundRows(const FoundState& found) {
  std::vector<FoundRow> rows;
  auto add = [&](FoundRow row) {
    if (!row.value.isEmpty()) rows.push_back(std::move(row));
  };
  ForEachRow(found, add, [&](const QString&, FoundRow row) { add(std::move(row)); });
  return rows;
}

std::vector<FoundRow> SearchFoundRows(const FoundState& found, const QString& text,
                                      const std::function<void()>& pump) {
  std::vector<FoundRow> hits;
  if (text.isEmpty()) return hits;
  const QString pattern = text.toUpper();
  const bool isMask = pattern.contains(QLatin1Char('*'));
  const NameMask mask(pattern);
  QString otherPattern = pattern;
  if (otherPattern.startsWith(QLatin1String("*."))) otherPattern.remove(0, 2);
  if (const qsizetype cut = otherPattern.indexOf(QLatin1String(".*")); cut >= 0) otherPattern.truncate(cut);

  auto onKey = [&](FoundRow row) {
    if (pump) pump();
    const bool hit = isMask ? mask.Matches(row.name) : row.name.toUpper().contains(pattern);
    if (hit && !row.value.isEmpty()) hits.push_back(std::move(row));
  };
  // "*.*" and "*" reduce to a bare "*", which stands for every name here too.
  const bool everyLine = otherPattern == QLatin1String("*");
  auto onLine = [&](const QString& line, FoundRow row) {
    if (pump) pump();
    const bool hit = everyLine || line.toUpper().contains(otherPattern);
    if (hit && !row.value.isEmpty()) hits.push_back(std::move(row));
  };
  ForEachRow(found, onKey, onLine);
  return hits;
}

}  // namespace undelvo
