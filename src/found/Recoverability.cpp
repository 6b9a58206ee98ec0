#include "found/Recoverability.h"

#include <algorithm>
#include <climits>

namespace undelvo {

Recoverability RecoverabilityFromClusters(int64_t intact, int64_t total) {
  if (total <= 0 || intact >= total) return GoodState();
  if (intact <= 0) return {RecoverState::Overwritten, 0};
  // Rounded down, so that a file missing one cluster in a thousand does not read 100 %.
  const int percent = int(std::clamp<int64_t>(intact * 100 / total, 1, 99));
  return {RecoverState::Partial, percent};
}

std::vector<Recoverability> StatesFromClusters(const std::vector<FileClusters>& files) {
  struct Piece {
    int64_t start, end;
    size_t file;
  };
  std::vector<Piece> pieces;
  for (size_t f = 0; f < files.size(); ++f)
    if (files[f].mapped)
      for (const ClusterExtent& e : files[f].extents)
        if (e.length > 0 && e.start >= 0 && e.start <= INT64_MAX - e.length) pieces.push_back({e.start, e.start + e.length, f});
  std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.start < b.start; });
  // Each piece meets the pieces that begin inside it; a damaged volume whose
  // files all claim one place is looked at up to this many pieces ahead.
  constexpr size_t kMostPiecesAhead = 256;
  std::vector<int64_t> lost(files.size(), 0);
  for (size_t i = 0; i < pieces.size(); ++i) {
    for (size_t j = i + 1; j < pieces.size() && j - i <= kMostPiecesAhead && pieces[j].start < pieces[i].end; ++j) {
      const FileClusters& a = files[pieces[i].file];
      const FileClusters& b = files[pieces[j].file];
      // The same file found twice claims the same clusters and is no other file.
      if (pieces[i].file == pieces[j].file || (a.written == b.written && a.extents == b.extents)) continue;
      const int64_t shared = std::min(pieces[i].end, pieces[j].end) - pieces[j].start;
      // The file written later holds the clusters; when that cannot be told, either may.
      if (a.written <= b.written) lost[pieces[i].file] += shared;
      if (b.written <= a.written) lost[pieces[j].file] += shared;
    }
  }
  std::vector<Recoverability> states;
  states.reserve(files.size());
  for (size_t f = 0; f < files.size(); ++f) {
    const FileClusters& c = files[f];
    states.push_back(c.mapped ? RecoverabilityFromClusters(std::max<int64_t>(0, c.intact - lost[f]), c.needed)
                              : Recoverability{});
  }
  return states;
}

QString RecoverStateName(RecoverState state) {
  switch (state) {
    case RecoverState::Good: return QStringLiteral("good");
    case RecoverState::Partial: return QStringLiteral("partial");
    case RecoverState::Overwritten: return QStringLiteral("overwritten");
    case RecoverState::Unknown: break;
  }
  return QStringLiteral("unknown");
}

bool ParseRecoverStateName(const QString& name, RecoverState& state) {
  for (RecoverState s : {RecoverState::Good, RecoverState::Partial, RecoverState::Overwritten, RecoverState::Unknown}) {
    if (name.compare(RecoverStateName(s), Qt::CaseInsensitive) == 0) {
      state = s;
      return true;
    }
  }
  return false;
}

Recoverability StateOf(const FoundFileStates& states, const QString& entryValue) {
  return states.value(entryValue, Recoverability{});
}

}  // namespace undelvo
