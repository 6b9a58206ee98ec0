#pragma once
#include <QString>

#include "fat/FatState.h"
#include "found/FoundState.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// Records the deleted file entry `entry` named `name` in folder `folder`
// ("C:\Docs\") when it looks like a real file: a date no later than
// `latestYear` and a time of day, a size (unsigned, up to 4 GiB - 1), a first
// cluster on the volume. The entry's write date and time go into
// fat.EntryTimes under the recorded value. False when the entry fails a test.
bool RecordDeletedFatFile(const VolumeContext& volume, FatState& fat, FoundState& found, RunControl& run, const uint8_t* entry,
                          const QString& name, const QString& folder, int latestYear);

}  // namespace undelvo
