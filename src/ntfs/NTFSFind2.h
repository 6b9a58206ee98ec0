#pragma once
#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The NTFS deep scan, for volumes whose MFT map cannot be trusted: probes the
// volume for clusters that begin with a file record, reads each zone of such
// clusters once into MFTBuffer, collects the folder records found there and
// lists the deleted file records with their folders rebuilt from those (or
// "Folder <number>" when the parent is not among them). Four steps, each
// shown on the status line. NTFS geometry must be read; Busy is 0 on return.
void NTFSFind2(UndelvoState& state, ScanHooks& hooks);

}  // namespace undelvo
