#pragma once
#include <QString>

#include "found/FoundState.h"
#include "ntfs/NtfsState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The NTFS quick scan: loads the MFT (geometry and extents already read) and
// records every deleted file record it holds whose name matches `nameMask`,
// with its folder rebuilt from the parent references, into the found-file
// store. Damaged records, broken parent chains and records beyond the
// buffer are skipped. Stops at the next record or path level once the run
// is stopped, keeping what it recorded.
void NTFSFind1(const VolumeContext& volume, NtfsState& ntfs, FoundState& found, const QString& nameMask,
               RunControl& run, ProgressSink& progress);

}  // namespace undelvo
