#pragma once
#include <QString>
#include <string>
#include <vector>

#include "platform/DriveTable.h"

namespace undelvo {

// The image path as the drive table names it: absolute and cleaned.
QString ImageLabel(const std::string& image);

// The FAT and NTFS volumes inside a disk image (a regular file, or a block
// device given as an image): one per partition when it has an MBR or GPT
// table, else the image probed whole. Entries carry no letter yet; volumeId
// is the file-system UUID, or the source label when it has none. When the
// result is empty, error says why, naming the file: it cannot be opened
// (missing, unreadable, a folder, not a file or block device), or it holds no
// FAT or NTFS volume (empty, another file system, nothing known).
std::vector<DriveEntry> ListImageVolumes(const std::string& image, QString* error);

}  // namespace undelvo
