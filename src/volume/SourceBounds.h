#pragma once
#include <cstdint>

#include "volume/VolumeContext.h"

namespace undelvo {

// The bytes the selected drive's source really holds (the image's or the
// device's size); 0 when the drive is not in the table.
uint64_t SourceBytes(const VolumeContext& volume);

// Holds the geometry read from a boot sector to what the source really has:
// a boot sector's sector and cluster counts are claims, and a damaged or
// crafted one may claim terabytes on a stick of megabytes. The counts are cut
// to the source's size; an MFT start (`mftStart`, when given) outside the
// cut volume becomes 0, which no MFT can start at. False when not even one
// cluster of the volume lies in the source.
bool BoundGeometryBySource(VolumeContext& volume, int64_t* mftStart = nullptr);

}  // namespace undelvo
