#pragma once
#include <QByteArray>
#include <cstdint>

#include "ntfs/NtfsState.h"
#include "volume/VolumeContext.h"

namespace undelvo {

// The bytes the preview shows of the NTFS file whose record lies at byte
// `locator` of MFTBuffer: resident data as it is; otherwise the content its
// data runs give (only the bytes of the first 2 unless `wholeFile`, holes as
// zeros, a compressed stream decompressed), cut at the file's size and at
// `limit` bytes. Unreadable runs come as zeros so the rest keeps its place. Empty for a record that cannot be parsed or has
// no data. Reads the volume only; nothing is written.
QByteArray PreviewNTFS(const VolumeContext& volume, NtfsState& ntfs, int64_t locator, bool wholeFile, int64_t limit);

}  // namespace undelvo
