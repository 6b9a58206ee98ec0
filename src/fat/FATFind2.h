#pragma once
#include <QString>
#include <cstdint>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The FAT deep scan: reads the whole data area, finds every cluster that
// begins a folder (its first entries are "." and ".."), rebuilds the
// folder's path by walking the ".." links up to the root, and records the
// deleted files of that folder that match `nameMask`, read along its chain
// while the table holds one. Finds files in folders that are deleted or
// unlinked. A file whose name exists again in the same live folder (through
// `mountPoint`) is not recorded. Fills fat.EntryTimes.
void FATFind2(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint);

// The path below the root of the folder at cluster `child` whose parent is
// at cluster `dir` (0 for the root): "Docs\2019\", each name followed by
// "\"; as far as the ".." links can be followed (empty when not even the
// child's own name is found). Ends on loops and after 64 levels.
QString BuildDirPathFAT(const VolumeContext& volume, const FatState& fat, RunControl& run, int64_t child,
                        int64_t dir);

}  // namespace undelvo
