#pragma once
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "volume/VolumeContext.h"

namespace undelvo {

// Reads byteCount bytes at sector `sector` of the drive named by DriveRoot.
// The drive's source is opened read-only for this call alone. On any failure
// (unknown drive, no rights, a range past the volume's end, a short read) the
// result is false and the buffer's first byteCount bytes are zero.
bool ReadSectors(const VolumeContext& volume, uint64_t sector, void* buffer, int64_t byteCount);

// Appends `bytes` bytes read from `sector` on to `out`, reading whole
// sectors; what cannot be read (a negative sector included) appends zeros, so
// the data after a bad sector keeps its place.
void AppendSectors(const VolumeContext& volume, int64_t sector, int64_t bytes, QByteArray& out);

// Reads sector 0 trying sector sizes 512, 1024 ... 4096 in turn (a device
// that takes only whole sectors answers at the first multiple of its own) and
// leaves BytesPerSector at the size that answered. False when none did.
bool ReadBootSector(VolumeContext& volume, std::vector<uint8_t>& boot);

// True when the system refuses to open the drive's source for reading (no
// rights), as opposed to a source that is missing or unreadable.
bool SourceAccessDenied(const VolumeContext& volume);

}  // namespace undelvo
