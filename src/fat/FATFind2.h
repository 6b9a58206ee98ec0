#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The FAT deep scan: reads the whole data area, finds every cluster that
// begins a folder (its first entries are "." and ".."), reads the folder
// along its chain while the table holds one, and records the deleted files
// that match `nameMask` under the folder's path, rebuilt by following the
// ".." links up to the root (as far as they lead, at most 64 levels, ending
// on loops). Finds files in folders that are deleted or unlinked. Each
// cluster is read as a folder once per run (fat.ListedDirClusters): a folder
// whose chain runs into clusters read before ends there, and a folder start
// inside another folder's chain is not read again. The paths come from the
// folders the run read, so a parent is not read again for each of its
// subfolders: the files are recorded in the order their folders were found,
// each folder's once the scan has passed its parents (after a stop, with
// the path as far as the folders read lead). A file whose name exists again
// in the same live folder (through `mountPoint`) is not recorded. Fills
// fat.EntryTimes.
void FATFind2(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& mountPoint);

}  // namespace undelvo
