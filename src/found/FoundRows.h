#pragma once
#include <QString>
#include <functional>
#include <vector>

#include "found/FoundState.h"

namespace undelvo {

// One found file as a results row: its name (the store key, or the name part
// of an OtherFiles line), its store section ("OTHER" for OtherFiles lines)
// and its entry value.
struct FoundRow {
  QString name;
  QString section;
  QString value;
};

// Every found file: the keys of every section in the order the sections were
// created, then the OtherFiles lines.
std::vector<FoundRow> AllFoundRows(const FoundState& found);

// The results search. Text without "*" is a hit anywhere in a key (letter
// case ignored); text with "*" is a file-name mask for the keys. For
// OtherFiles lines a leading "*." is dropped and the text cut before its
// first ".*", and the rest is looked for anywhere in the whole line. `pump`
// runs once per key or line.
std::vector<FoundRow> SearchFoundRows(const FoundState& found, const QString& text,
                                      const std::function<void()>& pump = {});

}  // namespace undelvo
