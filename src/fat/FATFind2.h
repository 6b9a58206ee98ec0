#pragma once
#include <QString>
#include <cstdint>

#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The FAT deep scan: reads the whole data area, finds every cluster that
// begins a folder (its first entries are "." and ".."), rebuilds the
// folder's path by walking the ".." links up to the root, and records the
// deleted files of that folder, read along its chain while the table holds
// one. Finds files in folders that are deleted or unlinked. A file whose
// name exists again in the same live folder (through `mountPoint`) is not
// recorded. Busy is 0 on return.
void FATFind2(UndelvoState& state, ScanHooks& hooks, const QString& mountPoint);

// The path below the root of the folder at cluster `child` whose parent is
// at cluster `dir` (0 for the root): "Docs\2019\", each name followed by
// "\"; as far as the ".." links can be followed (empty when not even the
// child's own name is found). Ends on loops and after 64 levels.
QString BuildDirPathFAT(UndelvoState& state, ScanHooks& hooks, int64_t child, int64_t dir);

}  // namespace undelvo
