#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The FAT quick scan of one folder `dir` ("C:\" or "C:\Photos\2019\"): finds
// the folder on the raw volume by the folder entry its parent's listing gave
// it (fat.DirClusters: the run lists a folder's parent before it), records
// every deleted file entry that matches `nameMask` and looks plausible (a
// date no later than this year, a time of day, a size, a first cluster on
// the volume) and appends every subfolder, deleted ones too, to DirList
// unless it is listed already or leads into clusters read already. Folders
// are read along their cluster chain while the table holds one, each
// cluster once per run (fat.ListedDirClusters). A folder its parent does not
// name, or that cannot be read, ends the call silently; so does a stop.
void FATFind1(const VolumeContext& volume, FatState& fat, FoundState& found, const QString& nameMask,
              RunControl& run, ProgressSink& progress, const QString& dir);

}  // namespace undelvo
