#pragma once
#include "scan/ScanHooks.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// The NTFS quick scan: loads the MFT (geometry and extents already read) and
// records every deleted file record it holds, with its folder rebuilt from
// the parent references, into the found-file store. Damaged records, broken
// parent chains and records beyond the buffer are skipped. Stops at the next
// record or path level once Busy drops to 0, keeping what it recorded.
void NTFSFind1(UndelvoState& state, ScanHooks& hooks);

}  // namespace undelvo
