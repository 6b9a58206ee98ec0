#pragma once
#include <QString>
#include <cstdint>
#include <limits>

#include "found/FoundState.h"
#include "run/RunControl.h"

namespace undelvo {

// The live folder that a drive path names: "C:\Photos\2019\" below the
// volume's mount point is "<mountPoint>/Photos/2019/". Empty when the volume
// is not mounted.
QString LiveFolderOf(const QString& mountPoint, const QString& drivePath);

// Appends every live folder below `dir` (a drive path ending in "\", such as
// "C:\") to DirList, depth first in the order the folder listing returns
// them, each as a drive path ending in "\". The folders are read through the
// mount point, since the file system knows the live tree; an unmounted
// volume lists nothing. Hidden folders are entered; links are not followed.
// Stops at the next entry once the run is stopped, and once it has met
// `maxEntries` entries (files and folders) in all: a volume holds no more
// entries than its folders have room for, and a walk that meets more goes
// round folders whose entries lead into each other.
void ScanDir(FoundState& found, RunControl& run, const QString& mountPoint, const QString& dir,
             int64_t maxEntries = std::numeric_limits<int64_t>::max());

}  // namespace undelvo
