#pragma once
#include <QString>

#include "found/FoundState.h"
#include "ntfs/NtfsState.h"
#include "run/ProgressSink.h"
#include "run/RunControl.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The NTFS deep scan, for volumes whose MFT map cannot be trusted: probes the
// volume for clusters that begin with a file record, reads each zone of such
// clusters once into MFTBuffer, collects the folder records found there and
// lists the deleted file records whose names match `nameMask` with their
// folders rebuilt from those (or "Folder <number>" when the parent is not
// among them). Four steps, each passed to the progress display. NTFS
// geometry must be read.
void NTFSFind2(const VolumeContext& volume, NtfsState& ntfs, FoundState& found, const QString& nameMask,
               RunControl& run, ProgressSink& progress);

}  // namespace undelvo
