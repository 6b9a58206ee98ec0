#pragma once
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

#include "volume/ClusterExtent.h"

namespace undelvo {

// How likely a found file's bytes are intact, told from the volume's own
// allocation data (the NTFS cluster bitmap, the FAT allocation table) without
// reading the file: the clusters a restore would read that no other file
// holds now.
enum class RecoverState : uint8_t {
  Unknown,      // no allocation map could be read
  Good,         // no cluster is in use by another file
  Partial,      // some are
  Overwritten,  // all are
};

struct Recoverability {
  RecoverState state = RecoverState::Unknown;
  int intactPercent = -1;  // share of intact clusters, 0..100; -1 when unknown

  bool operator==(const Recoverability&) const = default;
};

// The state of a file of which `intact` of the `total` clusters a restore
// reads are free of other files. A partial file shows 1..99 %, never the 0
// or 100 of the states beside it. Nothing to read (an empty file) is good.
Recoverability RecoverabilityFromClusters(int64_t intact, int64_t total);

inline Recoverability GoodState() { return {RecoverState::Good, 100}; }

// "good", "partial", "overwritten", "unknown": the names scripts see.
QString RecoverStateName(RecoverState state);
// The state a name (letter case ignored) stands for; false for another text.
bool ParseRecoverStateName(const QString& name, RecoverState& state);

// What the allocation map tells of the clusters a restore of one found file
// reads.
struct FileClusters {
  bool mapped = false;    // the clusters could be told (else the state is unknown); true for nothing to read
  int64_t needed = 0;     // clusters the restore reads, holes included; 0 for nothing to read
  int64_t intact = 0;     // of them, those no live file holds (holes count as intact)
  std::vector<ClusterExtent> extents;  // the clusters on the volume, in file order
  uint64_t written = 0;   // when its clusters were last written (the later of its creation and
                          // modification times), comparable within a volume; 0 when unknown
};

// The states of found files from their clusters. A deleted file that was
// written over by another file that was deleted in turn reads free in the
// map; so a file also loses the clusters that a found file written later
// claims; when neither time tells which came later (equal, or unknown),
// both lose them. The same file found twice (the same clusters, the same
// time) takes nothing from itself.
std::vector<Recoverability> StatesFromClusters(const std::vector<FileClusters>& files);

// The states of a scan's found files by the entry value they were recorded
// with (the value's own text stays as it is).
using FoundFileStates = QHash<QString, Recoverability>;

// The state recorded for an entry value; unknown when none was.
Recoverability StateOf(const FoundFileStates& states, const QString& entryValue);

}  // namespace undelvo
